// Command-line front of the driver, for scripts:
//   hwdriver title                      main window title
//   hwdriver command ID                 post WM_COMMAND ID to the main window; ID is a
//                                       number or a menu command's name (IDM_PATROL)
//   hwdriver close                      post WM_CLOSE to the main window
//   hwdriver dialogs                    list visible dialogs: title<TAB>message
//   hwdriver press TITLE ID             click button ID of the dialog titled TITLE
//   hwdriver field TITLE ID [VALUE]     read or set a dialog field
//   hwdriver rect                       main window rectangle: left top right bottom
//   hwdriver repaint                    makes the main window paint itself whole again
//   hwdriver minimise | restore         minimises the main window, or restores it and
//                                       brings it to the foreground
//   hwdriver state                      "minimised", "front" or "behind"
#include "driver.h"
#include "resources/resource.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The menu commands by the names resource.h gives them.
static int commandid(const char* arg) {
#define HW_COMMAND(name) {#name, name}
    static const struct {
        const char* name;
        int id;
    } commands[] = {HW_COMMAND(IDM_EXIT),         HW_COMMAND(IDM_CONFIG),
                    HW_COMMAND(IDM_CLEAR),        HW_COMMAND(IDM_ABOUT),
                    HW_COMMAND(IDM_PATROL),       HW_COMMAND(IDM_DUMPARP),
                    HW_COMMAND(IDM_EXPORTSUMMARY), HW_COMMAND(IDM_EXPORTALL),
                    HW_COMMAND(IDM_RESETRECORDS), HW_COMMAND(IDM_REPORTTIME),
                    HW_COMMAND(IDM_LOOKUP),       HW_COMMAND(IDM_REPORTREPLIES),
                    HW_COMMAND(IDM_STOPPATROL),   HW_COMMAND(IDM_LOGS)};
#undef HW_COMMAND
    for (const auto& c : commands)
        if (!strcmp(arg, c.name)) return c.id;
    return atoi(arg);
}

static void find(drv::Program* p) {
    HWND w = FindWindowA("Hostwarden", nullptr);
    if (w) GetWindowThreadProcessId(w, &p->pid);
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string verb = argv[1];
    drv::Program p;  // found, not started: no process handle, so nothing is ended
    find(&p);
    HWND main = p.pid ? drv::mainwindow(p, 5000) : nullptr;
    if (verb == "dialogs") {
        for (const drv::Dialog& d : drv::dialogs(p)) printf("%s\t%s\n", d.title.c_str(), d.message.c_str());
        return 0;
    }
    if (!main) {
        fprintf(stderr, "no Hostwarden window\n");
        return 1;
    }
    if (verb == "title") {
        printf("%s\n", drv::text(main).c_str());
    } else if (verb == "command" && argc > 2) {
        drv::command(main, commandid(argv[2]));
    } else if (verb == "close") {
        PostMessageA(main, WM_CLOSE, 0, 0);
    } else if (verb == "repaint") {
        RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (verb == "minimise") {
        PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (verb == "restore") {
        SendMessageTimeoutA(main, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_BLOCK, 5000, nullptr);
        SetForegroundWindow(main);
    } else if (verb == "state") {
        printf("%s\n", IsIconic(main) ? "minimised" : GetForegroundWindow() == main ? "front" : "behind");
    } else if (verb == "rect") {
        RECT r;
        GetWindowRect(main, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if ((verb == "press" || verb == "field") && argc > 3) {
        HWND d = drv::waitdialog(p, argv[2], 5000);
        if (!d) return 1;
        if (verb == "press")
            drv::press(d, atoi(argv[3]));
        else if (argc > 4)
            drv::setfield(d, atoi(argv[3]), argv[4]);
        else
            printf("%s\n", drv::field(d, atoi(argv[3])).c_str());
    } else {
        return 2;
    }
    return 0;
}
