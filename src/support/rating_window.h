// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <functional>

class Alerts;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class SupportMail;

// The small window that asks how the user likes the program: a first view
// with the choices happy, not sure and problems, a happy view offering the
// rating pages, and an angry view offering to write to the maker. It deletes
// itself when closed.
class DXRatingWindowController final : public QWidget {
  public:
    DXRatingWindowController(Alerts& alerts, SupportMail& mail, QVariantMap info,
                             QWidget* parent = nullptr);
    ~DXRatingWindowController() override;

    // Shows the first view (and the window, in front) with the question.
    void showWithQuestion(const QString& questionText);
    // Run once when the window closes, however it closes.
    void setCloseBlock(std::function<void()> block) { closeBlock_ = std::move(block); }

    void happyClicked();
    void notsureClicked() { close(); }
    void problemsClicked();
    void notnowClicked() { close(); }
    void closeClicked() { close(); }
    void dontshowClicked();
    void rateappstoreClicked();
    void ratemacupdateClicked();
    void sendfeedbackClicked();

    QWidget* initialView() const { return initialView_; }
    QWidget* happyView() const { return happyView_; }
    QWidget* angryView() const { return angryView_; }
    QLabel* introTextField() const { return introTextField_; }
    QPlainTextEdit* feedbackTextField() const { return feedbackTextField_; }
    QPushButton* rateappstoreButton() const { return rateappstoreButton_; }
    QPushButton* ratemacupdateButton() const { return ratemacupdateButton_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showOnly(QWidget* view);
    QString infoText(const char* key) const;

    Alerts& alerts_;
    SupportMail& mail_;
    QVariantMap info_;
    std::function<void()> closeBlock_;
    QWidget* initialView_ = nullptr;
    QWidget* happyView_ = nullptr;
    QWidget* angryView_ = nullptr;
    QLabel* introTextField_ = nullptr;
    QPlainTextEdit* feedbackTextField_ = nullptr;
    QPushButton* rateappstoreButton_ = nullptr;
    QPushButton* ratemacupdateButton_ = nullptr;
};
