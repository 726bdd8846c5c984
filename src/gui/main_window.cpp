// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/main_window.h"

#include "app/app_delegate.h"
#include "ext/scheduling.h"
#include "ext/text.h"
#include "foundation/logging.h"
#include "gui/attribute_popup.h"
#include "gui/health_bar_delegate.h"
#include "gui/history_pane.h"
#include "gui/ssd_table_model.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const char* const kTag = "tag";

}  // namespace

MainWindow::MainWindow(AppDelegate& controller, Texts texts, LinkOpener openLink, QWidget* parent)
    : QMainWindow(parent), controller_(controller), openLink_(std::move(openLink)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Ostrivane"));
    // Closing only hides: the drives are watched until the user quits.
    setAttribute(Qt::WA_DeleteOnClose, false);

    toolbar_ = addToolBar(localized(QStringLiteral("Toolbar")));
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    static const char* const kItems[kPaneCount] = {
        QT_TRANSLATE_NOOP("Localizable", "Drives"), QT_TRANSLATE_NOOP("Localizable", "Settings"),
        QT_TRANSLATE_NOOP("Localizable", "History"), QT_TRANSLATE_NOOP("Localizable", "About")};
    for (int index = 0; index < kPaneCount; ++index) {
        QAction* action = toolbar_->addAction(localized(QString::fromLatin1(kItems[index])));
        action->setCheckable(true);
        action->setProperty(kTag, index);
        connect(action, &QAction::triggered, this, [this, action] { toolbarClicked(action); });
    }

    mainTabView_ = new QStackedWidget;
    mainTabView_->setObjectName(QStringLiteral("mainTabView"));
    historyPane_ = new HistoryPane(texts.logFile, texts.historyFile);
    connect(historyPane_, &HistoryPane::logfileShown, this, &MainWindow::logfileShown);
    panes_ = {makeDrivesPane(), makePlaceholderPane(localized(QStringLiteral("Settings"))),
              historyPane_, makeAboutPane(texts)};
    for (QWidget* pane : panes_) {
        mainTabView_->addWidget(pane);
    }

    summaryLabel_ = new QLabel;
    summaryLabel_->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel_->setWordWrap(true);
    summaryLabel_->setTextFormat(Qt::PlainText);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(mainTabView_, 1);
    layout->addWidget(summaryLabel_);
    setCentralWidget(central);
    connect(&controller_, &AppDelegate::statusChanged, this, &MainWindow::updateSummary);
    // A check shown as it lands (the history has recorded it by then).
    connect(&controller_, &AppDelegate::checkFinished, this, [this] {
        if (historyPane_->isVisible()) {
            historyPane_->reloadChart();
        }
    });
    updateSummary();

    popup_ = new AttributePopup(this);
    resize(1040, 420);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::makeDrivesPane() {
    auto* pane = new QWidget;
    pane->setObjectName(QStringLiteral("ssdsView"));
    model_ = new SSDTableModel(controller_, this);
    tableView_ = new QTableView;
    tableView_->setObjectName(QStringLiteral("tableView"));
    tableView_->setModel(model_);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->setWordWrap(false);
    tableView_->verticalHeader()->hide();
    tableView_->setItemDelegateForColumn(SSDTableModel::Health, new HealthBarDelegate(tableView_));
    QHeaderView* header = tableView_->horizontalHeader();
    // Every text whole: a narrow window scrolls rather than cutting a status.
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    connect(tableView_, &QTableView::doubleClicked, this, [this] { viewSSDClicked(); });
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableView_);
    return pane;
}

QWidget* MainWindow::makePlaceholderPane(const QString& text) {
    auto* pane = new QLabel(text);
    pane->setObjectName(QStringLiteral("settingsView"));
    pane->setAlignment(Qt::AlignCenter);
    return pane;
}

QWidget* MainWindow::makeAboutPane(const Texts& texts) {
    auto* pane = new QWidget;
    pane->setObjectName(QStringLiteral("aboutView"));
    auto* layout = new QVBoxLayout(pane);
    auto* name = new QLabel(QStringLiteral("Ostrivane"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    for (const QString& text : {texts.version, texts.build}) {
        auto* label = new QLabel(text);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label, 0, Qt::AlignHCenter);
    }
    struct Link {
        const char* title;
        int tag;
    };
    // Support requests come with the support library's mail composer.
    for (const Link& link : {Link{QT_TRANSLATE_NOOP("Localizable", "Product Page"), 3}}) {
        auto* button = new QPushButton(localized(QString::fromLatin1(link.title)));
        button->setProperty(kTag, link.tag);
        connect(button, &QPushButton::clicked, this, [this, button] { openURL(button); });
        layout->addWidget(button, 0, Qt::AlignHCenter);
    }
    layout->addStretch(1);
    return pane;
}

void MainWindow::updateSummary() {
    QStringList lines;
    for (const QString& text : {controller_.statusSummaryText(), controller_.statusDetailText(),
                                controller_.statusTimeText()}) {
        if (!text.isEmpty()) {
            lines.append(text);
        }
    }
    summaryLabel_->setText(lines.join(QLatin1Char('\n')));
}

void MainWindow::toolbarClicked(const QObject* sender) {
    if (sender != nullptr) {
        toolbarClicked(sender->property(kTag).toInt());
    }
}

void MainWindow::toolbarClicked(int index) {
    if (index < 0 || index >= kPaneCount) {
        return;
    }
    mainTabView_->setCurrentIndex(index);
    const QList<QAction*> actions = toolbar_->actions();
    for (int item = 0; item < actions.size(); ++item) {
        actions[item]->setChecked(item == index);
    }
    if (index == 2) {
        logfileReload();
        historyPane_->reloadChart();
    }
}

int MainWindow::currentPane() const {
    return mainTabView_->currentIndex();
}

void MainWindow::viewSSDClicked() {
    const QModelIndexList rows = tableView_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return;
    }
    if (const SSD* ssd = model_->ssdAt(rows.constFirst().row())) {
        const QString wear = ssd->ownWearSummary(Wording::Shown);
        const QString attributes = ssd->fullAttributeInformation(Wording::Shown);
        popup_->showText(wear.isEmpty() ? attributes : attributes + QStringLiteral("\n\n") + wear,
                         QCursor::pos());
    }
}

void MainWindow::openURL(const QObject* sender) {
    if (sender != nullptr && openLink_) {
        openLink_(quint8(sender->property(kTag).toInt()));
    }
}

void MainWindow::logfileReload() {
    historyPane_->logfileReload();
}

QPlainTextEdit* MainWindow::logfileTextView() const {
    return historyPane_->logfileTextView();
}

int MainWindow::logReloads() const {
    return historyPane_->logReloads();
}

void MainWindow::showHelp(const QObject* sender) {
    toolbarClicked(2);
    const bool tagged = sender != nullptr && sender->property(kTag).toInt() == 99;
    historyPane_->showDocumentation(tagged ? 0 : 1);
}

void MainWindow::setInTaskbar(bool inTaskbar) {
    const bool wasVisible = isVisible();
    // A tool window has no taskbar entry on X11 and Wayland alike.
    const Qt::WindowType type = inTaskbar ? Qt::Window : Qt::Tool;
    if (windowType() != type) {
        setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | type);
    }
    if (wasVisible) {
        show();
    }
}

void MainWindow::setSettingsPane(QWidget* pane) {
    const int current = mainTabView_->currentIndex();
    QWidget* placeholder = panes_[1];
    mainTabView_->insertWidget(1, pane);
    mainTabView_->removeWidget(placeholder);
    delete placeholder;
    panes_[1] = pane;
    mainTabView_->setCurrentIndex(current);
}
