#include "textview/autoscroll.h"

int autoscrolltop(int count, int page, int top, bool dropped, long long now,
                  long long lastactivity) {
    if (count < page) return 0;
    if (top == count - page - 1) return count - page;  // was showing the newest line
    if (now > lastactivity + 300) return count - page;  // user idle: jump to the newest
    if (dropped) return top > 0 ? top - 1 : 0;          // keep the same lines in view
    return top;
}
