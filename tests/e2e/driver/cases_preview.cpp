// The display-panel preview: a child window in a window of another program.
#include <string>

#include "cases.h"
#include "check.h"
#include "host_window.h"
#include "poll.h"
#include "saver.h"
#include "window_search.h"

namespace {

void ExpectPreviewFillsHost(const wchar_t* letter, int width, int height) {
    HostWindow host(width, height);
    auto saver = StartSaver({letter, HandleText(host.Handle())});
    HWND child = WaitForPreviewChild(*saver, host.Handle());

    const WindowInfo info = Describe(child);
    Expect((info.style & WS_CHILD) != 0, "the preview window is not a child window: " + DescribeForMessage(info));
    Expect(info.visible, "the preview window is not visible: " + DescribeForMessage(info));
    Expect(GetParent(child) == host.Handle(), "the preview window's parent is not the host window");
    Expect(ChildWindowsOf(host.Handle(), saver->Pid()).size() == 1, "the preview made more than one window");
    Expect(TopLevelWindowsOf(saver->Pid()).empty(), "the preview also shows a top-level window");

    RECT hostClient;
    GetClientRect(host.Handle(), &hostClient);
    POINT origin = {0, 0};
    MapWindowPoints(child, host.Handle(), &origin, 1);
    Expect(origin.x == 0 && origin.y == 0 && info.client.right == hostClient.right &&
               info.client.bottom == hostClient.bottom,
           Format("the preview window is %ldx%ld at (%ld,%ld) in a %ldx%ld host client area", info.client.right,
                  info.client.bottom, origin.x, origin.y, hostClient.right, hostClient.bottom));

    host.Destroy();
    ExpectEndsWithStatus(*saver, 0, "the host window was destroyed");
}

}  // namespace

E2E_CASE(preview, child_fills_host_and_ends_with_it) { ExpectPreviewFillsHost(L"/p", 320, 240); }
E2E_CASE(preview, follows_host_size) { ExpectPreviewFillsHost(L"/p", 152, 112); }
E2E_CASE(preview, upper_case_letter_accepted) { ExpectPreviewFillsHost(L"-P", 200, 150); }

E2E_CASE(preview, missing_handle_is_rejected) { ExpectEndsWithoutWindow({L"/p"}, 1); }
E2E_CASE(preview, zero_handle_is_rejected) { ExpectEndsWithoutWindow({L"/p", L"0"}, 1); }
E2E_CASE(preview, text_handle_is_rejected) { ExpectEndsWithoutWindow({L"/p", L"window"}, 1); }

E2E_CASE(preview, handle_of_gone_window_is_rejected) {
    HWND gone = nullptr;
    {
        HostWindow host(100, 100);
        gone = host.Handle();
    }
    Expect(!IsWindow(gone), "the destroyed host window still exists");
    ExpectEndsWithoutWindow({L"/p", HandleText(gone)}, 1);
}

// The panel may destroy its window at any moment, even while the preview's own window
// is still being created: the preview then ends with status 0 all the same.
E2E_CASE(preview, host_gone_during_the_child_creation) {
    for (HostWindow::End end : {HostWindow::End::OnChildCreated, HostWindow::End::SoonAfterChildCreated}) {
        HostWindow host(160, 120, end);
        auto saver = StartSaver({L"/p", HandleText(host.Handle())});
        ExpectEndsWithStatus(*saver, 0,
                             end == HostWindow::End::OnChildCreated ? "the host destroyed itself on the child's creation"
                                                                     : "the host closed itself after the child's creation");
    }
}
