// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class AppDelegate;
class AttributePopup;
class HistoryPane;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QTableView;
class QToolBar;
class SSDTableModel;

// The main window: a toolbar choosing one of four panes (drives, settings,
// history, about) and the overall status below them.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    struct Texts {
        QString version;  // "Version: 1.2"
        QString build;    // "Build: 12"
        QString logFile;
        QString historyFile;
    };
    using LinkOpener = std::function<void(quint8 code)>;

    MainWindow(AppDelegate& controller, Texts texts, LinkOpener openLink,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    static constexpr int kPaneCount = 4;

    // The pane of a number, or of a control's "tag"; an unknown index does nothing.
    void toolbarClicked(int index);
    void toolbarClicked(const QObject* sender);
    // The attribute listing of the selected drive at the mouse; nothing without a selection.
    void viewSSDClicked();
    // The page of the sender's "tag".
    void openURL(const QObject* sender);
    // Reads the log in the background and shows it when read.
    void logfileReload();
    // The history pane's documentation: page 0 for a sender tagged 99, else page 1.
    void showHelp(const QObject* sender);
    // Without a taskbar entry the window is a tool window.
    void setInTaskbar(bool inTaskbar);
    // Puts the settings pane in place of the placeholder (pane 1).
    void setSettingsPane(QWidget* pane);

    int currentPane() const;
    QWidget* pane(int index) const { return panes_[size_t(index)]; }
    QToolBar* toolbar() const { return toolbar_; }
    QTableView* tableView() const { return tableView_; }
    SSDTableModel* model() const { return model_; }
    QLabel* summaryLabel() const { return summaryLabel_; }
    QPlainTextEdit* logfileTextView() const;
    HistoryPane* historyPane() const { return historyPane_; }
    AttributePopup* attributePopup() const { return popup_; }
    int logReloads() const;

  Q_SIGNALS:
    void logfileShown();

  private:
    QWidget* makeDrivesPane();
    QWidget* makePlaceholderPane(const QString& text);
    QWidget* makeAboutPane(const Texts& texts);
    void updateSummary();

    AppDelegate& controller_;
    LinkOpener openLink_;
    QToolBar* toolbar_ = nullptr;
    QStackedWidget* mainTabView_ = nullptr;
    std::array<QWidget*, kPaneCount> panes_{};
    QTableView* tableView_ = nullptr;
    SSDTableModel* model_ = nullptr;
    QLabel* summaryLabel_ = nullptr;
    HistoryPane* historyPane_ = nullptr;
    AttributePopup* popup_ = nullptr;
};
