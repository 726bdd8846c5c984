// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs_test_support.h"

#include "support/support_mail.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTextBoundaryFinder>
#include <QThread>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <atomic>

namespace {

ReportFacts knownFacts() {
    ReportFacts facts;
    facts.appName = QStringLiteral("Ostrivane");
    facts.versionString = QStringLiteral("1.2");
    facts.build = 42;
    facts.checksum = QStringLiteral("abc");
    facts.hardware = QStringLiteral("ThinkPad X1");
    facts.software = QStringLiteral("Debian 12");
    facts.admin = false;
    facts.preferencesBase64 = QStringLiteral("UEs=");
    return facts;
}

class RecordingOpener final : public UrlOpener {
  public:
    bool open(const QUrl& url) override {
        opened.append(url);
        return works;
    }
    bool works = true;
    QList<QUrl> opened;
};

struct Fixture {
    ScriptedRunner runner;
    Alerts alerts{runner, QStringLiteral("Ostrivane"), QStringLiteral("1.2")};
    RecordingOpener opener;
    QList<int> exits;
    SupportMail mail{
        {alerts, opener, [] { return knownFacts(); }, [this](int status) { exits.append(status); }},
        {{QStringLiteral("WendleSupportEmail"), QStringLiteral("support@example.org")},
         {QStringLiteral("FeedbackEmail"), QStringLiteral("help@example.org")}}};
};

}  // namespace

TEST(ProblemReport, KnownReportGivesExactlyTheseBytes) {
    const MailMessage report = ProblemReport::problemReport(
        knownFacts(), QStringLiteral("support@example.org"), QStringLiteral("Bad value"),
        QStringLiteral("ID 5 at 7% #1"), false);
    EXPECT_EQ(ProblemReport::mailtoAddress(report),
              QByteArray("mailto:support@example.org?subject=Ostrivane%20v1.2%20(42)%20Problem%20"
                         "Report%20(Checksum:%20abc)&body=Hello%0AA%20%20error%20in%20Ostrivane%20"
                         "occurred%20(Bad%20value).%0A%0ABye%0A%0AP.S.%20Details:%20ID%205%20at%"
                         "207%25%20%231%0A%0A%0AP.P.S:%20Hardware:%20ThinkPad%20X1%20Software:%"
                         "20Debian%2012%20Admin:%200%0A%0APreferences:%20UEs%3D%0A"));
    // The address reaches the opener unchanged.
    const QByteArray bytes = ProblemReport::mailtoAddress(report);
    EXPECT_EQ(QUrl::fromEncoded(bytes).toEncoded(), bytes);

    // Without the preferences line the request ends in two line feeds.
    const MailMessage request = ProblemReport::supportRequest(
        knownFacts(), QStringLiteral("help@example.org"), QStringLiteral("Hi %1"), false);
    EXPECT_EQ(request.body, QStringLiteral("Hi %1\n\n\n\nP.S: Hardware: ThinkPad X1 Software: "
                                           "Debian 12 UDID: N/A\n\n"));
    EXPECT_TRUE(ProblemReport::supportRequest(knownFacts(), {}, {}, true)
                    .body.endsWith(QStringLiteral("\nPreferences (BASE64): UEs=\n")));
}

TEST(ProblemReport, LongBodyIsCutAtAWholeCharacterBeforeTheLimit) {
    MailMessage mail{QStringLiteral("a@b.c"), QStringLiteral("S"), QString()};
    // Two-byte, four-byte (a surrogate pair) and combined characters.
    for (int index = 0; index < 2000; ++index) {
        mail.body += QStringLiteral("é😀e\u0301&");
    }
    const QByteArray note =
        ProblemReport::fieldEncoded(QString::fromUtf16(ProblemReport::kOmissionNote));
    const QByteArray head = QByteArray("mailto:a@b.c?subject=S&body=");
    for (qsizetype limit = 1000; limit < 1030; ++limit) {
        const QByteArray address = ProblemReport::mailtoAddress(mail, limit);
        ASSERT_LE(address.size(), limit);
        ASSERT_TRUE(address.startsWith(head));
        ASSERT_TRUE(address.endsWith(note));
        const QByteArray keptBytes =
            address.mid(head.size(), address.size() - head.size() - note.size());
        const QString kept = QString::fromUtf8(QByteArray::fromPercentEncoding(keptBytes));
        ASSERT_TRUE(mail.body.startsWith(kept));
        // Ends between graphemes, and the next grapheme would not have fitted.
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, mail.body);
        finder.setPosition(kept.size());
        ASSERT_TRUE(finder.isAtBoundary()) << limit;
        const qsizetype next = finder.toNextBoundary();
        ASSERT_GT(
            address.size() +
                ProblemReport::fieldEncoded(mail.body.mid(kept.size(), next - kept.size())).size(),
            limit);
    }
    // A body that fits is left whole.
    mail.body = QStringLiteral("é");
    EXPECT_EQ(ProblemReport::mailtoAddress(mail, 1000), head + QByteArray("%C3%A9"));
}

TEST(ProblemReport, FieldsKeepTheirDelimitersForMailPrograms) {
    // Details with the characters that end or start a field of the address,
    // and a subject with some of them: a mail program splitting the query at
    // "&" and "=" must find the whole texts again.
    const QString details = QStringLiteral("a&b=c?d#e+f%g/h 100% done & more=1");
    MailMessage mail = ProblemReport::problemReport(knownFacts(), QStringLiteral("s@x.org"),
                                                    QStringLiteral("x=1&y"), details, false);
    mail.subject += QStringLiteral(" & = #");
    const QByteArray address = ProblemReport::mailtoAddress(mail);
    const QUrl url = QUrl::fromEncoded(address, QUrl::StrictMode);
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.toEncoded(), address);
    EXPECT_EQ(url.path(), QStringLiteral("s@x.org"));
    EXPECT_FALSE(url.hasFragment());
    const QUrlQuery query(url);
    const auto items = query.queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].first, QStringLiteral("subject"));
    EXPECT_EQ(items[0].second, mail.subject);
    EXPECT_EQ(items[1].first, QStringLiteral("body"));
    EXPECT_EQ(items[1].second, mail.body);
    EXPECT_FALSE(address.contains('+'));
}

TEST(SupportMail, FeedbackFromAWorkerWaitsForTheAnswerOnTheMainThread) {
    Fixture f;
    std::atomic<bool> returned = false;
    bool answeredBeforeReturn = false;
    Qt::HANDLE askedOn = nullptr;
    f.runner.edit = [&](const AlertPanel&, AlertAnswer&) {
        answeredBeforeReturn = !returned;
        askedOn = QThread::currentThreadId();
    };
    const QString details(401, QLatin1Char('d'));
    QThread* worker = QThread::create([&] {
        f.mail.alert_feedback(QStringLiteral("Odd value"), details, false);
        returned = true;
    });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;

    ASSERT_EQ(f.runner.panels.size(), 1);
    EXPECT_TRUE(answeredBeforeReturn);
    EXPECT_EQ(askedOn, QThread::currentThreadId());
    const AlertPanel& panel = f.runner.panels[0];
    EXPECT_EQ(panel.title, QStringLiteral("Error"));
    EXPECT_EQ(panel.buttons,
              (QStringList{QStringLiteral("Send to support"), QStringLiteral("Continue")}));
    EXPECT_TRUE(panel.message.endsWith(QString(400, QLatin1Char('d')) +
                                       QStringLiteral("  …\n(Remaining message omitted)")));
    // Sent: the whole of the details travel in the report.
    ASSERT_EQ(f.opener.opened.size(), 1);
    EXPECT_TRUE(f.opener.opened[0].toEncoded().contains(QByteArray(401, 'd')));
    EXPECT_TRUE(f.exits.isEmpty());
    EXPECT_TRUE(loggedText().contains(QStringLiteral("alert_feedback Odd value ddd")));
}

TEST(SupportMail, FeedbackOnTheMainThreadAndFatalReportsEndTheProcess) {
    Fixture f;
    f.runner.answer.code = 1001;
    f.mail.alert_feedback(QStringLiteral("M"), QStringLiteral("D"), false);
    EXPECT_TRUE(f.opener.opened.isEmpty());
    EXPECT_TRUE(f.exits.isEmpty());

    f.mail.alert_feedback(QStringLiteral("M"), QStringLiteral("D"), true);
    EXPECT_EQ(f.runner.panels.last().title, QStringLiteral("Fatal Error"));
    EXPECT_EQ(f.runner.panels.last().buttons[1], QStringLiteral("Quit"));
    EXPECT_EQ(f.exits, QList<int>{1});
    f.runner.answer.code = 1000;
    f.mail.alert_feedback(QStringLiteral("M"), QStringLiteral("D"), true);
    EXPECT_EQ(f.exits, (QList<int>{1, 1}));
    EXPECT_TRUE(f.opener.opened.last().toEncoded().contains("A%20fatal%20error"));
}

TEST(SupportMail, WithoutAMailProgramTheTextCanBeCopied) {
    Fixture f;
    f.opener.works = false;
    f.runner.edit = [](const AlertPanel& panel, AlertAnswer& answer) {
        answer.code = panel.title == QStringLiteral("No E-Mail Program") ? 1000 : 1000;
    };
    QGuiApplication::clipboard()->clear();
    f.mail.sendSupportRequestMail(QStringLiteral("Please help"));
    ASSERT_EQ(f.runner.panels.size(), 1);
    EXPECT_EQ(f.runner.panels[0].title, QStringLiteral("No E-Mail Program"));
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(
        copied.startsWith(QStringLiteral("To: help@example.org\nSubject: Ostrivane v1.2 "
                                         "(42) Support Request (Checksum: abc)\n\nPlease help")));

    // Cancel copies nothing.
    QGuiApplication::clipboard()->clear();
    f.runner.answer.code = 1001;
    f.runner.edit = nullptr;
    f.mail.openURL(2);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST(SupportMail, ProductPagesFallBackAsTheKeysAllow) {
    ScriptedRunner runner;
    Alerts alerts(runner, QStringLiteral("Ostrivane-Pro Edition"), QStringLiteral("1"));
    RecordingOpener opener;
    SupportMail mail(
        {alerts, opener, [] { return knownFacts(); }, [](int) {}},
        {{QStringLiteral("WendleWebsite"), QStringLiteral("https://maker.example/")},
         {QStringLiteral("AlternativetoProductPage"), QStringLiteral("https://alt.example/o")},
         {QStringLiteral("FilehorseProductPage"), QStringLiteral("https://fh.example/o")}});
    EXPECT_EQ(mail.pageAddress(3), QStringLiteral("https://maker.example/ostrivane/"));
    EXPECT_EQ(mail.pageAddress(5), QStringLiteral("https://alt.example/o"));
    EXPECT_EQ(mail.pageAddress(6), QStringLiteral("https://fh.example/o"));
    mail.openURL(7);
    EXPECT_TRUE(opener.opened.isEmpty());
}
