// One open document as a tab of the main window (its holder, its tab-menu entry, what it knows
// of its file, its recovery snapshot timer), and the document area: the tab bar with its side
// toolbar above the documents.
#pragma once

#include "app/filestamp.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;

namespace orvane {

class TOrvaneSheetForm;
class TOrvaneEditor;

class TOrvaneTabSheet : public QObject {
    Q_OBJECT

public:
    // Id names the document's recovery snapshot; unique in a run.
    TOrvaneTabSheet(TOrvaneSheetForm* Form, int Id, QObject* Parent = nullptr);
    // The holder goes later (deleteLater): the tab may be closed from one of its own events.
    ~TOrvaneTabSheet() override;

    TOrvaneSheetForm* Form() const noexcept { return FForm; }
    TOrvaneEditor* Editor() const noexcept;
    int Id() const noexcept { return FId; }

    // The entry of the tab menu that activates this document.
    QPointer<QAction> MenuEntry;
    // The file as last read or written here, to notice another program's change.
    TFileStamp Stamp;
    // What another program did to the file and was not yet settled with the user.
    TFileChange ExternalChange = TFileChange::Unchanged;
    // Fires a few seconds after the text last changed: time for a recovery snapshot.
    QTimer* SnapshotTimer = nullptr;
    // A snapshot of this document is on disk (or queued).
    bool SnapshotWritten = false;

private:
    QPointer<TOrvaneSheetForm> FForm;
    int FId;
};

// The tab bar (one tab per document, in list order, scrolled when they do not fit; each with a
// close button, dragged to reorder) with its side toolbar, above the stack of document holders.
class TDocumentArea : public QWidget {
    Q_OBJECT

public:
    explicit TDocumentArea(QWidget* Parent = nullptr);

    QTabBar* TabBar() const noexcept { return FTabBar; }
    QToolBar* SideBar() const noexcept { return FSideBar; }
    QStackedWidget* Stack() const noexcept { return FStack; }

private:
    QTabBar* FTabBar;
    QToolBar* FSideBar;
    QStackedWidget* FStack;
};

}  // namespace orvane
