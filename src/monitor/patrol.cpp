// The patrol.
#include "monitor/patrol.h"
#include "monitor/hostlist.h"
#include "textview/output.h"

std::atomic<bool> warningshown(false);

void startpatrol() {
    if (patrolling) return;
    if (!hostlist) {
        twprintf("No configuration, use the File / Configuration dialog.");
        return;
    }
}

void patrolthread() {}
