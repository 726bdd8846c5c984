// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_test_support.h"

#include "foundation/defaults.h"
#include "gui/rating_presenter.h"
#include "support/alerts.h"
#include "support/support_mail.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QString kQuestion = QStringLiteral(
    "[APPNAME] has notified you successfully [USAGES_ASKREVIEW] times about health-changes of "
    "your SSD!");

class Answering final : public AlertRunner {
  public:
    AlertAnswer run(const AlertPanel& panel) override {
        panels.append(panel);
        AlertAnswer reply;
        reply.code = code;
        return reply;
    }
    int code = 1000;
    QList<AlertPanel> panels;
};

class Recording final : public UrlOpener {
  public:
    bool open(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

struct Fixture {
    explicit Fixture(const QString& version, QVariantMap info = {}) {
        info.insert(QStringLiteral("WendleSupportEmail"), QStringLiteral("s@example.org"));
        mail = std::make_unique<SupportMail>(
            SupportMail::Services{alerts, opener, [] { return ReportFacts(); }, [](int) {}}, info);
        presenter = std::make_unique<DesktopRatingPresenter>(alerts, *mail, info);
        counting = std::make_unique<DXUsageCounting>(QStringLiteral("Ostrivane"), version,
                                                     *presenter, [this] { return now; });
    }
    // One notification counted, then the main window opened.
    void notifyThenOpen() {
        counting->increaseUsagesBy(1, 1, 3, kQuestion, false, false);
        counting->increaseUsagesBy(0, 1, 3, kQuestion, true, false);
    }
    DXRatingWindowController* window() const { return presenter->ratingWindowController(); }

    Answering runner;
    Alerts alerts{runner, QStringLiteral("Ostrivane"), QStringLiteral("1")};
    Recording opener;
    std::unique_ptr<SupportMail> mail;
    std::unique_ptr<DesktopRatingPresenter> presenter;
    std::unique_ptr<DXUsageCounting> counting;
    QDateTime now = QDateTime::currentDateTimeUtc();
};

void forgetAsking() {
    for (const char* key : {"wendlelib_askdate", "wendlelib_dontaskagain"}) {
        setDefaultObject(QString::fromLatin1(key), QVariant());
    }
}

}  // namespace

TEST(RatingWindow, ShownOnceWhenDueAndNotBefore) {
    forgetAsking();
    Fixture f(QStringLiteral("rating-1"));
    f.notifyThenOpen();
    f.notifyThenOpen();
    EXPECT_EQ(f.window(), nullptr);
    f.notifyThenOpen();
    ASSERT_NE(f.window(), nullptr);
    EXPECT_TRUE(f.window()->isVisible());
    EXPECT_EQ(f.window()->introTextField()->text(),
              QStringLiteral("Ostrivane has notified you successfully 3 times about "
                             "health-changes of your SSD!"));
    EXPECT_TRUE(f.window()->initialView()->isVisible());
    EXPECT_FALSE(f.window()->happyView()->isVisible());
    EXPECT_FALSE(f.window()->angryView()->isVisible());

    // Closing releases it; the version asked already.
    f.window()->notnowClicked();
    EXPECT_EQ(f.window(), nullptr);
    f.notifyThenOpen();
    EXPECT_EQ(f.window(), nullptr);

    // A new version within 98 days: not yet; after them, yes.
    Fixture next(QStringLiteral("rating-2"));
    next.now = f.now.addSecs(DXUsageCounting::kAskAgainSeconds);
    for (int use = 0; use < 3; ++use) {
        next.notifyThenOpen();
    }
    EXPECT_EQ(next.window(), nullptr);
    next.now = next.now.addSecs(1);
    next.counting->increaseUsagesBy(0, 1, 3, kQuestion, true, false);
    ASSERT_NE(next.window(), nullptr);
    // Asked again while open: the same window, not a second one.
    DXRatingWindowController* first = next.window();
    next.counting->increaseUsagesBy(0, 1, 3, kQuestion, true, true);
    EXPECT_EQ(next.window(), first);
    next.window()->close();
    EXPECT_EQ(next.window(), nullptr);
}

TEST(RatingWindow, TurningItOffAsksFirstAndForcingStillShowsIt) {
    forgetAsking();
    Fixture f(QStringLiteral("rating-3"));
    f.counting->increaseUsagesBy(3, 1, 3, kQuestion, true, false);
    ASSERT_NE(f.window(), nullptr);
    f.runner.code = 1000;  // Cancel
    f.window()->dontshowClicked();
    EXPECT_EQ(f.window(), nullptr);
    ASSERT_EQ(f.runner.panels.size(), 1);
    EXPECT_EQ(f.runner.panels[0].title, QStringLiteral("Confirmation"));
    EXPECT_EQ(f.runner.panels[0].buttons[1], QStringLiteral("Turn off feedback dialog"));
    EXPECT_EQ(defaultInt(QStringLiteral("wendlelib_dontaskagain")), 0);

    f.counting->increaseUsagesBy(0, 1, 3, kQuestion, true, true);
    ASSERT_NE(f.window(), nullptr);
    f.runner.code = 1001;
    f.window()->dontshowClicked();
    EXPECT_EQ(defaultInt(QStringLiteral("wendlelib_dontaskagain")), 1);

    forgetAsking();
    Fixture other(QStringLiteral("rating-4"));
    setDefaultInt(QStringLiteral("wendlelib_dontaskagain"), 1);
    other.counting->increaseUsagesBy(3, 1, 3, kQuestion, true, false);
    EXPECT_EQ(other.window(), nullptr);
    other.counting->increaseUsagesBy(0, 1, 3, kQuestion, true, true);
    EXPECT_NE(other.window(), nullptr);
    forgetAsking();
}

TEST(RatingWindow, ViewsButtonsAndFeedbackFollowTheInformationFile) {
    forgetAsking();
    Fixture f(QStringLiteral("rating-5"), {{QStringLiteral("AlternativetoProductPage"),
                                            QStringLiteral("https://alt.example/o")}});
    f.counting->increaseUsagesBy(0, 1, 0, kQuestion, true, true);
    ASSERT_NE(f.window(), nullptr);
    f.window()->happyClicked();
    EXPECT_TRUE(f.window()->happyView()->isVisible());
    EXPECT_FALSE(f.window()->initialView()->isVisible());
    EXPECT_EQ(f.window()->rateappstoreButton()->text(),
              QStringLiteral("    Rate on AlternativeTo"));
    EXPECT_TRUE(f.window()->rateappstoreButton()->isEnabled());
    EXPECT_FALSE(f.window()->ratemacupdateButton()->isEnabled());
    f.window()->rateappstoreClicked();
    EXPECT_EQ(f.window(), nullptr);
    ASSERT_EQ(f.opener.opened.size(), 1);
    EXPECT_EQ(f.opener.opened[0], QUrl(QStringLiteral("https://alt.example/o")));

    f.counting->increaseUsagesBy(0, 1, 0, kQuestion, true, true);
    f.window()->problemsClicked();
    EXPECT_TRUE(f.window()->angryView()->isVisible());
    f.window()->feedbackTextField()->setPlainText(QStringLiteral("The window & = icons"));
    f.window()->sendfeedbackClicked();
    EXPECT_EQ(f.window(), nullptr);
    ASSERT_EQ(f.opener.opened.size(), 2);
    EXPECT_TRUE(f.opener.opened[1].toEncoded().contains("body=The%20window%20%26%20%3D%20icons"))
        << f.opener.opened[1].toEncoded().toStdString();
}
