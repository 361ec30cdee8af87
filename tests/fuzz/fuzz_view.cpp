// The output view's window-free rules with any positions: the selection run of a line,
// the clipboard bytes of a line into exactly the room counted for it, the auto-scroll
// rule, the scroll arithmetic, and the text box's line walk and fitting.
#include "fuzzstubs.h"
#include "dialogs/textboxfit.h"
#include "common/scrollrules.h"
#include "textview/selection.h"
#include "textview/autoscroll.h"
#include <string>

static bool measurewidth(void* context, const char*, int n, int* width) {
    int a = *(int*)context;
    if (n > 5000) return false;  // a measuring failure, as a device context can give
    *width = n * a;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    int anchorline = in.get<int>(), anchorcol = in.get<int>();
    int line = in.get<int>(), col = in.get<int>();
    int which = in.get<int>();
    std::string text((const char*)in.p, in.left);
    int length = (int)text.size();

    Selection s = selfromanchor(anchorline, anchorcol, line, col);
    FUZZCHECK(s.startline < s.endline || (s.startline == s.endline && s.startcol <= s.endcol));
    int a, b;
    selrun(s, which, length, &a, &b);
    FUZZCHECK(0 <= a && a <= b && b <= length);
    int need = selbytes(s, which, length);
    FUZZCHECK(need >= 0 && need <= length + 2);
    char* out = (char*)malloc(need ? need : 1);
    FUZZCHECK(selput(s, which, text.data(), length, out, need) == need);
    FUZZCHECK(!memcmp(out, text.data() + a, b - a));
    int room = need / 2;
    FUZZCHECK(selput(s, which, text.data(), length, out, room) <= room);
    free(out);

    // Auto-scroll over the states the view can be in.
    int count = (unsigned)anchorline % (maxlines + 1);
    int page = (unsigned)anchorcol % 300;
    int top = count ? (unsigned)line % (count + 1) : 0;
    long long now = (unsigned)col, last = (unsigned)which;  // seconds of a real clock
    int t = autoscrolltop(count, page, top, (which & 1) && count == maxlines, now, last);
    FUZZCHECK(t >= 0 && t <= count);

    // Scrolling: requests of any kind end within 0 .. max - page + 1.
    int max = count ? count - 1 : 0;
    int pos = scrollclamp(scrollrequest(which & 7, top, page, (unsigned)col % 5000), max, page);
    FUZZCHECK(pos >= 0 && (pos <= max - page + 1 || max - page + 1 < 0));
    int step = wheelstepfor((unsigned)anchorline % 200);
    int rest = 0;
    int lines = wheellines(&rest, step, (short)which);
    FUZZCHECK(step <= 0 || (rest > -step && rest < step));
    FUZZCHECK(step <= 0 || lines * step + rest == (short)which);

    // The text box: line count and skipping agree, and fitting keeps the template whole.
    const char* c = text.c_str();
    int nlines = tblinecount(c);
    const char* lastline = skiplines(nlines - 1, c);
    FUZZCHECK(lastline >= c && lastline <= c + strlen(c) && !strchr(lastline, '\n'));
    FUZZCHECK(*skiplines(nlines, c) == 0);
    int avg = 1 + (unsigned)anchorcol % 40;
    int widest = tbwidest(c, avg, measurewidth, &avg);
    FUZZCHECK(widest >= 20);
    TbTemplate tpl = tbinitial();
    FUZZCHECK(tbfit(&tpl, widest, avg));
    FUZZCHECK(tbget(tpl, tpl.staticcx) == tbstaticwidth(widest, avg) ||
              tbstaticwidth(widest, avg) > 32767);
    FUZZCHECK(!tbfit(&tpl, widest, 0));
    return 0;
}
