// The -U command: a small window that offers the vendor's uninstall page.
#pragma once

// Shows the window, waits for Next or the close box, opens the page when the
// box is ticked and Next was pressed, then ends the process.
[[noreturn]] void showUninstallFeedback();
