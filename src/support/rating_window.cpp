// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/rating_window.h"

#include "ext/text.h"
#include "foundation/defaults.h"
#include "support/alerts.h"
#include "support/support_mail.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kButtonPoints = 18;
constexpr int kTextPoints = 14;
constexpr int kWindowWidth = 520;

QFont lightFont(int points) {
    QFont font;
    font.setPointSize(points);
    font.setWeight(QFont::Light);
    return font;
}

QLabel* fixedText(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setFont(lightFont(kTextPoints));
    return label;
}

}  // namespace

DXRatingWindowController::DXRatingWindowController(Alerts& alerts, SupportMail& mail,
                                                   QVariantMap info, QWidget* parent)
    : QWidget(parent, Qt::Window), alerts_(alerts), mail_(mail), info_(std::move(info)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(alerts_.appName());
    setMinimumWidth(kWindowWidth);
    // Titles are looked up here; their literals are marked where they are named.
    const auto button = [this](const QString& title, void (DXRatingWindowController::*action)()) {
        auto* made = new QPushButton(localized(title));
        made->setFont(lightFont(kButtonPoints));
        connect(made, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
        return made;
    };

    initialView_ = new QWidget;
    introTextField_ = new QLabel;
    introTextField_->setWordWrap(true);
    auto* initial = new QVBoxLayout(initialView_);
    initial->addWidget(introTextField_);
    initial->addWidget(fixedText(localized(QStringLiteral("How do you like it?"))));
    auto* choices = new QHBoxLayout;
    choices->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Happy")),
                              &DXRatingWindowController::happyClicked));
    choices->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Not sure")),
                              &DXRatingWindowController::notsureClicked));
    choices->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Problems")),
                              &DXRatingWindowController::problemsClicked));
    initial->addLayout(choices);
    auto* later = new QHBoxLayout;
    later->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Don't ask again")),
                            &DXRatingWindowController::dontshowClicked));
    later->addStretch();
    later->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Not now")),
                            &DXRatingWindowController::notnowClicked));
    initial->addLayout(later);

    happyView_ = new QWidget;
    auto* happy = new QVBoxLayout(happyView_);
    happy->addWidget(fixedText(localized(
        QStringLiteral("Awesome! A rating helps others find the program and keeps it going."))));
    rateappstoreButton_ =
        button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "    Rate on the App Store")),
               &DXRatingWindowController::rateappstoreClicked);
    ratemacupdateButton_ =
        button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "    Rate on MacUpdate")),
               &DXRatingWindowController::ratemacupdateClicked);
    happy->addWidget(rateappstoreButton_);
    happy->addWidget(ratemacupdateButton_);
    happy->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Close")),
                            &DXRatingWindowController::closeClicked));

    angryView_ = new QWidget;
    auto* angry = new QVBoxLayout(angryView_);
    angry->addWidget(fixedText(localized(QStringLiteral(
        "We are sorry to hear that. Tell us what went wrong and we will do our best to fix it."))));
    feedbackTextField_ = new QPlainTextEdit;
    angry->addWidget(feedbackTextField_);
    auto* send = new QHBoxLayout;
    send->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Close")),
                           &DXRatingWindowController::closeClicked));
    send->addStretch();
    send->addWidget(button(QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Send feedback")),
                           &DXRatingWindowController::sendfeedbackClicked));
    angry->addLayout(send);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* view : {initialView_, happyView_, angryView_}) {
        layout->addWidget(view);
    }
    showOnly(initialView_);
}

DXRatingWindowController::~DXRatingWindowController() = default;

QString DXRatingWindowController::infoText(const char* key) const {
    return info_.value(QLatin1String(key)).toString();
}

void DXRatingWindowController::showOnly(QWidget* view) {
    for (QWidget* each : {initialView_, happyView_, angryView_}) {
        each->setVisible(each == view);
    }
    // The views differ in height: fit the window to the one shown, or its
    // wrapped texts are cut.
    if (layout() != nullptr) {
        layout()->activate();
    }
    adjustSize();
}

void DXRatingWindowController::showWithQuestion(const QString& questionText) {
    show();
    raise();
    activateWindow();
    introTextField_->setText(questionText);
}

void DXRatingWindowController::happyClicked() {
    showOnly(happyView_);
    // A page the build does not name: the other site, or no button at all.
    if (infoText("StoreProductPage").isEmpty()) {
        if (!infoText("AlternativetoProductPage").isEmpty()) {
            rateappstoreButton_->setText(localized(QStringLiteral("    Rate on AlternativeTo")));
        } else {
            rateappstoreButton_->setEnabled(false);
        }
    }
    if (infoText("MacupdateProductPage").isEmpty()) {
        if (!infoText("FilehorseProductPage").isEmpty()) {
            ratemacupdateButton_->setText(localized(QStringLiteral("    Rate on FileHorse")));
        } else {
            ratemacupdateButton_->setEnabled(false);
        }
    }
}

void DXRatingWindowController::problemsClicked() {
    showOnly(angryView_);
}

void DXRatingWindowController::dontshowClicked() {
    // Asked after the window went: `this` is gone by then.
    Alerts& alerts = alerts_;
    close();
    const int answer = alerts.alert(
        localized(QStringLiteral("Confirmation")),
        localized(QStringLiteral("%1 asks for your feedback only rarely and at maximum only once "
                                 "per app-version. Are you sure you want to turn this off "
                                 "completely?"))
            .arg(alerts.appName()),
        localized(QStringLiteral("Cancel")), localized(QStringLiteral("Turn off feedback dialog")));
    if (answer == kAlertSecondButton) {
        setDefaultInt(QStringLiteral("wendlelib_dontaskagain"), 1);
    }
}

void DXRatingWindowController::rateappstoreClicked() {
    mail_.openURL(5);
    close();
}

void DXRatingWindowController::ratemacupdateClicked() {
    mail_.openURL(6);
    close();
}

void DXRatingWindowController::sendfeedbackClicked() {
    mail_.sendSupportRequestMail(feedbackTextField_->toPlainText());
    close();
}

void DXRatingWindowController::closeEvent(QCloseEvent* event) {
    if (closeBlock_) {
        const std::function<void()> block = std::move(closeBlock_);
        closeBlock_ = nullptr;
        block();
    }
    QWidget::closeEvent(event);
}
