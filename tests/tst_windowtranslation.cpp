#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "support/KeyedStandIns.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "translation/Messages.h"
#include "translation/TranslateCommand.h"
#include "ui/frmMain.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace window_driver;

Q_DECLARE_METATYPE(LoopbackServer::Script)

namespace {

LoopbackServer::Script Serving(const QByteArray &body) {
    return LoopbackServer::sending(LoopbackServer::response(200, body));
}

// 0xFFFFC0 in the 0x00BBGGRR form: red 192, green 255, blue 255, a pale cyan.
const QColor kFlash(192, 255, 255);

}  // namespace

class TestWindowTranslation : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void eachButtonTranslatesItsDirection_data();
    void eachButtonTranslatesItsDirection();
    void statusShowsTheElapsedSeconds();
    void unreachableServiceShowsTheFailureBox();
    void pageWithoutTranslationSaysSo();
    void otherServicesAnswerThroughTheWindow_data();
    void otherServicesAnswerThroughTheWindow();
    void secondPressAsksOnlyTheEndpointThatAnswered_data();
    void secondPressAsksOnlyTheEndpointThatAnswered();
    void modelsTranslationIsShownAsItArrives();
    void translationIsShownAsPlainText();
    void whitespaceIsTranslatedLikeAnyText();
    void emptyInputWarnsAndFlashes();
    void secondClickDuringTheFlashIsIgnored();
    void secondClickDuringTheMessagePassIsIgnored();
    void controlReturnTranslatesInTheTextsDirection_data();
    void controlReturnTranslatesInTheTextsDirection();
    void selectionWithoutAPrimarySelectionIsTheClipboard();
    void givenTextDuringATranslationIsIgnored();

private:
    void start(LoopbackServer::Script script, const QString &service = u"classic"_s,
               const QString &key = {});
    QTextEdit *box(const QString &name) const { return Control<QTextEdit>(mWindow.get(), name); }

    std::unique_ptr<LoopbackServer> mServer;
    std::unique_ptr<frmMain> mWindow;
};

void TestWindowTranslation::start(LoopbackServer::Script script, const QString &service,
                                  const QString &key) {
    mServer = std::make_unique<LoopbackServer>(std::move(script));
    ServiceChoice choice = stand_in::Choice(service, mServer->root());
    choice.key = key;
    mWindow = std::make_unique<frmMain>(ServiceChain{choice});
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow.get()));
}

void TestWindowTranslation::init() {
    start(Serving(stand_in::ClassicPage(u"译文"_s)));
}

void TestWindowTranslation::cleanup() {
    mWindow.reset();
    mServer.reset();
}

void TestWindowTranslation::eachButtonTranslatesItsDirection_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("imgJa2Ch") << u"imgJa2Ch"_s << QByteArray("JACH");
    QTest::newRow("imgCh2Ja") << u"imgCh2Ja"_s << QByteArray("CHJA");
}

void TestWindowTranslation::eachButtonTranslatesItsDirection() {
    QFETCH(QString, button);
    QFETCH(QByteArray, code);
    box(u"txtTop"_s)->setPlainText(u"日本 a"_s);
    Click(mWindow.get(), button);
    QCOMPARE(mServer->requestLines(),
             QList<QByteArray>{"GET /world/jiantizi/?before=%E6%97%A5%E6%9C%AC%20%61&wb_lp=" +
                               code + "&big5=no HTTP/1.1"});
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"译文"_s);
    QCOMPARE(mWindow->translateCommand().pageHtml(),
             QString::fromUtf8(stand_in::ClassicPage(u"译文"_s)));
    QVERIFY(!mWindow->translateCommand().seconds().isEmpty());
    QCOMPARE(box(u"rtbMsg"_s)->toPlainText(),
             u"总计耗时: "_s + mWindow->translateCommand().seconds() + u"秒"_s);
}

void TestWindowTranslation::statusShowsTheElapsedSeconds() {
    QList<qint32> ticks = {1000, 2500};
    mWindow = std::make_unique<frmMain>(
        ServiceChain{stand_in::Classic(mServer->root())},
        CommandSettings{.tickSource = [&ticks] { return ticks.takeFirst(); }});
    mWindow->show();
    box(u"txtTop"_s)->setPlainText(u"x"_s);
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QCOMPARE(box(u"rtbMsg"_s)->toPlainText(), u"总计耗时: 1.5秒"_s);
    QCOMPARE(mWindow->translateCommand().seconds(), u"1.5"_s);
}

void TestWindowTranslation::unreachableServiceShowsTheFailureBox() {
    box(u"txtTop"_s)->setPlainText(u"first"_s);
    Click(mWindow.get(), u"imgJa2Ch"_s);
    const QString seconds = mWindow->translateCommand().seconds();
    const QString root = mServer->root();
    mServer.reset();

    box(u"txtTop"_s)->setPlainText(u"second"_s);
    const ModalBox failure = AnswerModalBox([this] { Click(mWindow.get(), u"imgJa2Ch"_s); });
    QCOMPARE(failure.title, u"Quorvane"_s);
    QCOMPARE(failure.icon, QMessageBox::Warning);
    QCOMPARE(failure.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(failure.text,
             u"从\""_s + root +
                 u"\"获取数据失败，请检查代理设置是否正确或者尝试减少一次性翻译的文字的"
                 u"数量。如果还不能解决问题，请点帮助。"_s);
    QCOMPARE(box(u"rtbMsg"_s)->toPlainText(), u"翻译中 ..."_s);
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"译文"_s);
    QCOMPARE(mWindow->translateCommand().seconds(), seconds);
    QCOMPARE(mWindow->translateCommand().pageHtml(), QString());
}

void TestWindowTranslation::pageWithoutTranslationSaysSo() {
    start(Serving("<html>maintenance</html>"));
    box(u"txtDown"_s)->setPlainText(u"earlier"_s);
    box(u"txtTop"_s)->setPlainText(u"x"_s);
    const ModalBox none = AnswerModalBox([this] { Click(mWindow.get(), u"imgCh2Ja"_s); });
    QCOMPARE(none.text, QString());
    QCOMPARE(box(u"rtbMsg"_s)->toPlainText(), u"错误:返回的页面中找不到译文"_s);
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"earlier"_s);
    QCOMPARE(mWindow->translateCommand().pageHtml(), u"<html>maintenance</html>"_s);
    QCOMPARE(mWindow->translateCommand().seconds(), QString());
}

void TestWindowTranslation::otherServicesAnswerThroughTheWindow_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("key");
    QTest::addColumn<LoopbackServer::Script>("script");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("output");
    const stand_in::Answer tooMany =
        stand_in::Always(LoopbackServer::keepAliveResponse(429, "<html>Too Many</html>"));
    QTest::newRow("google translates")
        << u"google"_s << QString()
        << stand_in::Google({.page = stand_in::TranslatingBy([](const QString &text) {
                                 return stand_in::GooglePage(u"译:"_s + text);
                             })})
        << QString() << u"总计耗时: "_s << u"译:猫が好き"_s;
    QTest::newRow("google refuses")
        << u"google"_s << QString() << stand_in::Google({tooMany, tooMany, tooMany})
        << RefusalMessage(u"HTTP 429"_s, MessageReader::Window) << RefusalStatus() << u"earlier"_s;
    QTest::newRow("libretranslate says why")
        << u"libretranslate"_s << QString() << Serving(R"({"error":"Invalid API key"})")
        << QString() << u"错误:返回的页面中找不到译文 Invalid API key"_s << u"earlier"_s;
    const ServiceChain deepl{{ServiceNamed(u"deepl"), {}}};
    QTest::newRow("deepl without a key asks no one")
        << u"deepl"_s << QString() << LoopbackServer::Script() << NoKeyMessage(deepl)
        << NoKeyStatus() << u"earlier"_s;
    QTest::newRow("deepl refuses the key")
        << u"deepl"_s << u"wrong:fx"_s << stand_in::Keyed(u"deepl"_s, stand_in::Translator())
        << KeyRefusedMessage(u"deepl"_s, u"Forbidden"_s, MessageReader::Window)
        << KeyRefusedStatus() << u"earlier"_s;
}

void TestWindowTranslation::otherServicesAnswerThroughTheWindow() {
    QFETCH(QString, service);
    QFETCH(QString, key);
    QFETCH(LoopbackServer::Script, script);
    QFETCH(QString, box);
    QFETCH(QString, status);
    QFETCH(QString, output);
    start(script, service, key);
    this->box(u"txtDown"_s)->setPlainText(u"earlier"_s);
    this->box(u"txtTop"_s)->setPlainText(u"猫が好き"_s);
    const ModalBox shown = AnswerModalBox([this] { Click(mWindow.get(), u"imgJa2Ch"_s); });
    QCOMPARE(shown.text, box);
    QVERIFY2(this->box(u"rtbMsg"_s)->toPlainText().startsWith(status),
             qPrintable(this->box(u"rtbMsg"_s)->toPlainText()));
    QCOMPARE(this->box(u"txtDown"_s)->toPlainText(), output);
}

// The stand-in holds the rest of its stream until the output box shows its first piece, which
// the window's thread sees while the exchange runs.
void TestWindowTranslation::modelsTranslationIsShownAsItArrives() {
    stand_in::ChatStream stream{{u"我"_s, u"喜欢猫"_s}, 1};
    mServer = std::make_unique<LoopbackServer>(stream.script());
    mWindow = std::make_unique<frmMain>(
        ParseServiceChain(u"llm="_s + mServer->root() + u"/v1"_s).chain.value());
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow.get()));
    box(u"txtDown"_s)->setPlainText(u"earlier"_s);
    box(u"txtTop"_s)->setPlainText(u"猫が好き"_s);
    bool shownWhileStreaming = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (!shownWhileStreaming && box(u"txtDown"_s)->toPlainText() == u"我"_s) {
            shownWhileStreaming = true;
            stream.resume.release();
        }
    });
    watch.start(1);
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QVERIFY(shownWhileStreaming);
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"我喜欢猫"_s);
    QVERIFY(box(u"rtbMsg"_s)->toPlainText().startsWith(u"总计耗时: "_s));
}

void TestWindowTranslation::secondPressAsksOnlyTheEndpointThatAnswered_data() {
    QTest::addColumn<LoopbackServer::Script>("script");
    QTest::addColumn<QStringList>("firstPress");
    QTest::addColumn<QStringList>("secondPress");
    const auto itself = [](const QString &text) { return text; };
    QTest::newRow("Google as it answers today")
        << stand_in::GoogleToday(itself) << QStringList{u"segments"_s}
        << QStringList{u"segments"_s};
    QTest::newRow("segments refuse, the dictionary answers")
        << stand_in::Google({.segments = stand_in::Always(
                                 LoopbackServer::keepAliveResponse(429, "<html>Sorry</html>")),
                             .dictionary = stand_in::TranslatingBy([](const QString &text) {
                                 return stand_in::GoogleDictionary(stand_in::LinesOf(text));
                             })})
        << QStringList{u"segments"_s, u"dictionary"_s} << QStringList{u"dictionary"_s};
}

void TestWindowTranslation::secondPressAsksOnlyTheEndpointThatAnswered() {
    QFETCH(LoopbackServer::Script, script);
    QFETCH(QStringList, firstPress);
    QFETCH(QStringList, secondPress);
    start(script, u"google"_s);
    for (const QString &text : {u"猫\nが好き"_s, u"犬"_s}) {
        box(u"txtTop"_s)->setPlainText(text);
        Click(mWindow.get(), u"imgJa2Ch"_s);
        QCOMPARE(box(u"txtDown"_s)->toPlainText(), text);
    }
    QCOMPARE(stand_in::GoogleEndpoints(*mServer), firstPress + secondPress);
}

void TestWindowTranslation::translationIsShownAsPlainText() {
    const QString markup = u"<b>bold</b><img src=\"http://127.0.0.1:9/x.png\">"_s;
    start(Serving(stand_in::ClassicPage(markup.toHtmlEscaped())));
    box(u"txtTop"_s)->setPlainText(u"x"_s);
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), markup);
}

void TestWindowTranslation::whitespaceIsTranslatedLikeAnyText() {
    box(u"txtTop"_s)->setPlainText(u" \n"_s);
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QCOMPARE(mServer->requestLines().size(), 1);
    QVERIFY(mServer->requestLines().constFirst().contains("before=%20%0A&"));
}

void TestWindowTranslation::emptyInputWarnsAndFlashes() {
    PaletteChangeRecorder ground(box(u"txtTop"_s));
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QCOMPARE(box(u"rtbMsg"_s)->toPlainText(), u"错误:要翻译内容不能为空"_s);
    const QColor window = QApplication::palette().color(QPalette::Base);
    QCOMPARE(ground.changes.size(), 4);
    const QList<QColor> expected = {kFlash, window, kFlash, window};
    for (qsizetype i = 0; i < 4; ++i) {
        QCOMPARE(ground.changes[i].second, expected[i]);
        if (i > 0) {
            QVERIFY(ground.changes[i].first - ground.changes[i - 1].first >= 100);
        }
    }
    QVERIFY(mServer->requestLines().isEmpty());
    QCOMPARE(mWindow->translateCommand().pageHtml(), QString());
    QVERIFY(!mWindow->translateCommand().isRunning());
}

void TestWindowTranslation::secondClickDuringTheFlashIsIgnored() {
    PaletteChangeRecorder ground(box(u"txtTop"_s));
    bool hoveredMeanwhile = false;
    QTimer::singleShot(150, mWindow.get(), [this, &hoveredMeanwhile] {
        Click(mWindow.get(), u"imgJa2Ch"_s);
        QTest::mouseMove(Control(mWindow.get(), u"imgCh2Ja"_s));
        hoveredMeanwhile = mWindow->hovering();
    });
    QElapsedTimer clock;
    clock.start();
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QVERIFY(clock.elapsed() < 750);
    QCOMPARE(ground.changes.size(), 4);
    QVERIFY(hoveredMeanwhile);
}

void TestWindowTranslation::secondClickDuringTheMessagePassIsIgnored() {
    QTextEdit *status = box(u"rtbMsg"_s);
    QWidget *other = Control(mWindow.get(), u"imgJa2Ch"_s);
    bool posted = false;
    connect(status, &QTextEdit::textChanged, this, [status, other, &posted] {
        if (status->toPlainText() == u"翻译中 ..."_s && !std::exchange(posted, true)) {
            const QPointF at(5, 5);
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QCoreApplication::postEvent(
                    other, new QMouseEvent(
                               type, at, other->mapToGlobal(at), Qt::LeftButton,
                               type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                               Qt::NoModifier));
            }
        }
    });
    box(u"txtTop"_s)->setPlainText(u"x"_s);
    Click(mWindow.get(), u"imgCh2Ja"_s);
    QVERIFY(posted);
    QCoreApplication::processEvents();
    QCOMPARE(mServer->requestLines().size(), 1);
    QVERIFY(mServer->requestLines().constFirst().contains("wb_lp=CHJA"));
}

void TestWindowTranslation::controlReturnTranslatesInTheTextsDirection_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("hiragana") << u"本をよむ"_s << QByteArray("JACH");
    QTest::newRow("katakana") << u"テスト"_s << QByteArray("JACH");
    QTest::newRow("halfwidth katakana") << u"ﾃｽﾄ"_s << QByteArray("JACH");
    QTest::newRow("hanzi only") << u"读书"_s << QByteArray("CHJA");
    QTest::newRow("latin") << u"book"_s << QByteArray("CHJA");
}

void TestWindowTranslation::controlReturnTranslatesInTheTextsDirection() {
    QFETCH(QString, text);
    QFETCH(QByteArray, code);
    QTextEdit *input = box(u"txtTop"_s);
    input->setPlainText(text);
    input->setFocus();
    QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(input->toPlainText(), text);
    QCOMPARE(mServer->requestLines().size(), 1);
    QVERIFY(mServer->requestLines().constFirst().contains("wb_lp=" + code));
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"译文"_s);
}

// The offscreen platform, like Windows and macOS, has no primary selection.
void TestWindowTranslation::selectionWithoutAPrimarySelectionIsTheClipboard() {
    QVERIFY(!QGuiApplication::clipboard()->supportsSelection());
    QGuiApplication::clipboard()->setText(u"ねこ"_s);
    box(u"txtTop"_s)->setPlainText(u"earlier"_s);
    mWindow->showMinimized();
    mWindow->TranslateSelection();
    QVERIFY(!mWindow->isMinimized());
    QCOMPARE(box(u"txtTop"_s)->toPlainText(), u"ねこ"_s);
    QCOMPARE(mServer->requestLines(),
             QList<QByteArray>{"GET /world/jiantizi/?before=%E3%81%AD%E3%81%93&wb_lp=JACH&big5=no "
                               "HTTP/1.1"});
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"译文"_s);

    QGuiApplication::clipboard()->clear();
    mWindow->TranslateSelection();
    QCOMPARE(box(u"rtbMsg"_s)->toPlainText(), u"错误:要翻译内容不能为空"_s);
    QCOMPARE(mServer->requestLines().size(), 1);
}

// The command's busy rule: the request neither replaces the text being translated nor sends.
void TestWindowTranslation::givenTextDuringATranslationIsIgnored() {
    connect(box(u"rtbMsg"_s), &QTextEdit::textChanged, this, [this] {
        if (box(u"rtbMsg"_s)->toPlainText() == u"翻译中 ..."_s) {
            mWindow->TranslateGivenText(u"second"_s);
        }
    });
    mWindow->TranslateGivenText(u"first"_s);
    QCOMPARE(box(u"txtTop"_s)->toPlainText(), u"first"_s);
    QCOMPARE(mServer->requestLines().size(), 1);
    QVERIFY(mServer->requestLines().constFirst().contains("before=%66%69%72%73%74&wb_lp=CHJA"));
    QCOMPARE(box(u"txtDown"_s)->toPlainText(), u"译文"_s);
}

QTEST_MAIN(TestWindowTranslation)
#include "tst_windowtranslation.moc"
