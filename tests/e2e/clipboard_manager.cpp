// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// A clipboard manager of the walk's own, as a desktop runs one: it owns
// CLIPBOARD_MANAGER, and when a program that is ending asks it to save the
// clipboard (SAVE_TARGETS), it reads the forms offered and the PDF among
// them into FOLDER (targets, clipboard.pdf), then says it is done.
//
// usage: clipboard_manager FOLDER   prints "ready" once it owns the name;
//                                    runs until it is ended
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <string>

namespace {
// The clipboard's contents in form `target`, through this window's property.
std::string Convert(Display* display, Window window, Atom target)
{
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom property = XInternAtom(display, "WALK_SAVED", False);
    XConvertSelection(display, clipboard, target, property, window, CurrentTime);
    XEvent event{};
    do
        XNextEvent(display, &event);
    while (event.type != SelectionNotify);
    if (event.xselection.property == None)
        return {};
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, property, 0, 1 << 26, True, AnyPropertyType, &type, &format, &items, &left, &data);
    std::string bytes;
    if (data) {
        bytes.assign(reinterpret_cast<char*>(data), items * (format == 32 ? sizeof(long) : size_t(format / 8)));
        XFree(data);
    }
    return bytes;
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open display\n");
        return 1;
    }
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom manager = XInternAtom(display, "CLIPBOARD_MANAGER", False);
    XSetSelectionOwner(display, manager, window, CurrentTime);
    if (XGetSelectionOwner(display, manager) != window)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event{};
        XNextEvent(display, &event);
        if (event.type != SelectionRequest)
            continue;
        const XSelectionRequestEvent request = event.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == XInternAtom(display, "SAVE_TARGETS", False)) {
            const std::string targets = Convert(display, window, XInternAtom(display, "TARGETS", False));
            std::FILE* list = std::fopen((folder + "/targets").c_str(), "w");
            for (size_t at = 0; list && at + sizeof(long) <= targets.size(); at += sizeof(long)) {
                char* name = XGetAtomName(display, Atom(*reinterpret_cast<const long*>(targets.data() + at)));
                std::fprintf(list, "%s\n", name ? name : "");
                XFree(name);
            }
            if (list)
                std::fclose(list);
            const std::string pdf = Convert(display, window, XInternAtom(display, "application/pdf", False));
            if (std::FILE* file = std::fopen((folder + "/clipboard.pdf").c_str(), "wb")) {
                std::fwrite(pdf.data(), 1, pdf.size(), file);
                std::fclose(file);
            }
            reply.xselection.property = request.property;
        }
        XSendEvent(display, request.requestor, False, NoEventMask, &reply);
        XFlush(display);
    }
}
