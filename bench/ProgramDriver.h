// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileSet.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace vashtem {
class frmMain;
struct Platform;
} // namespace vashtem

namespace vashtem::bench {

// The real main window, shown offscreen, worked through its buttons. Each timed step is
// the button's click alone: the commands run to their end inside it. Pending events
// (painting) are handled after the clock stops, and before a watch of the click ends.
class ProgramDriver
{
public:
    // Looks on while a timed click runs: told just before the click and once it has returned
    // and its painting is done.
    class ClickWatch
    {
    public:
        virtual ~ClickWatch() = default;
        virtual void started(QWidget &window) = 0;
        virtual void ended() = 0;
    };
    // Watches the clicks from now on; nullptr stops watching.
    void watchClicks(ClickWatch *watch) { m_watch = watch; }

    // Opens the window on the platform's working folder and chooses "search subfolders too".
    explicit ProgramDriver(Platform &platform);
    ~ProgramDriver();

    // Types the pattern ("" for every file) and presses Search.
    double search(const QString &pattern);
    // Opens a folder in the folder chooser from its parent, as a double-click on its line does.
    double openInFolderChooser(const QByteArray &folder);
    long rows() const;
    size_t storeBytes() const;

    double selectAll();
    double clearSelection();
    // Selects every step-th row as one selection of ranges, then presses Delete.
    double deleteEvery(long step);
    double deleteAll();

    struct Farewell {
        double whole;    // the Exit button's click
        double emptying; // from the list's reset starting to its end, inside the click
    };
    // Ends the window's life: it can say farewell only once.
    Farewell farewell();

    // The files of every step-th row, as they are on disk now.
    FileSet listedFiles(long step) const;

private:
    double timed(const std::function<void()> &action);

    double click(const char *buttonName);

    std::unique_ptr<frmMain> m_window;
    ClickWatch *m_watch = nullptr;
};

} // namespace vashtem::bench
