#include "dialogs/textboxtemplate.h"

TbTemplate tbtemplate = tbinitial();

TbTemplate tbinitial() {
    TbTemplate t = {};
    DlgWriter w = {t.words, tbwords};
    tbwrite(w, &t);
    t.size = w.overflow ? 0 : w.at * 2;
    return t;
}
