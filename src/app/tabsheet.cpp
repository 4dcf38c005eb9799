// The tab object and the document area.
#include "app/tabsheet.h"

#include "app/sheetform.h"
#include "styles/orvaneeditor.h"

#include <QAction>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace orvane {

TOrvaneTabSheet::TOrvaneTabSheet(TOrvaneSheetForm* Form, int Id, QObject* Parent)
    : QObject(Parent), FForm(Form), FId(Id) {
    SnapshotTimer = new QTimer(this);
    SnapshotTimer->setSingleShot(true);
}

TOrvaneTabSheet::~TOrvaneTabSheet() {
    delete MenuEntry.data();
    if (FForm) FForm->deleteLater();
}

TOrvaneEditor* TOrvaneTabSheet::Editor() const noexcept { return FForm ? FForm->Editor() : nullptr; }

TDocumentArea::TDocumentArea(QWidget* Parent) : QWidget(Parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    FTabBar = new QTabBar(this);
    FTabBar->setObjectName(QStringLiteral("DocumentTabs"));
    FTabBar->setExpanding(false);
    FTabBar->setElideMode(Qt::ElideNone);
    FTabBar->setUsesScrollButtons(true);
    FTabBar->setDocumentMode(true);
    FTabBar->setMovable(true);  // the document list follows a tab dragged to another place
    FTabBar->setTabsClosable(true);
    FTabBar->setContextMenuPolicy(Qt::CustomContextMenu);
    FTabBar->setFocusPolicy(Qt::NoFocus);
    FTabBar->setDrawBase(false);
    row->addWidget(FTabBar, 1);
    FSideBar = new QToolBar(this);
    FSideBar->setObjectName(QStringLiteral("TabSideBar"));
    FSideBar->setIconSize(QSize(16, 16));
    FSideBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    row->addWidget(FSideBar, 0);
    column->addLayout(row);
    FStack = new QStackedWidget(this);
    column->addWidget(FStack, 1);
}

}  // namespace orvane
