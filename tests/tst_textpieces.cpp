#include <QTest>

#include "translation/Service.h"
#include "translation/TextPieces.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

namespace {

constexpr QueryEncoding kKeep = QueryEncoding::KeepUnreserved;

// Pieces as "piece|separator" rows, the leading white space first.
QStringList Described(const TextPieces &pieces) {
    QStringList rows{pieces.leading};
    for (const TextPiece &piece : pieces.pieces) {
        rows.append(piece.text + u'|' + piece.separator);
    }
    return rows;
}

}  // namespace

class TestTextPieces : public QObject {
    Q_OBJECT

private slots:
    void measuresWhatGoesOnTheWire_data();
    void measuresWhatGoesOnTheWire();
    void splitsLongTexts_data();
    void splitsLongTexts();
    void splitsByTheServicesRule_data();
    void splitsByTheServicesRule();
};

// Three bytes for each UTF-8 byte written as "%XX", one for an unreserved character kept.
void TestTextPieces::measuresWhatGoesOnTheWire_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("everyByte");
    QTest::addColumn<int>("keepUnreserved");
    QTest::newRow("a letter") << u"a"_s << 3 << 1;
    QTest::newRow("unreserved marks") << u"-._~"_s << 12 << 4;
    QTest::newRow("a space and a plus") << u" +"_s << 6 << 6;
    QTest::newRow("two UTF-8 bytes") << u"é"_s << 6 << 6;
    QTest::newRow("three UTF-8 bytes") << u"猫"_s << 9 << 9;
    QTest::newRow("four UTF-8 bytes") << u"😀"_s << 12 << 12;
    QTest::newRow("an unpaired surrogate, as U+FFFD") << QString(QChar(0xD800)) << 9 << 9;
}

void TestTextPieces::measuresWhatGoesOnTheWire() {
    QFETCH(QString, text);
    QFETCH(int, everyByte);
    QFETCH(int, keepUnreserved);
    QCOMPARE(EncodedSize(text, QueryEncoding::EveryByte), everyByte);
    QCOMPARE(EncodedSize(text, QueryEncoding::KeepUnreserved), keepUnreserved);
    QCOMPARE(EncodeQuery(text).size(), everyByte);
    QCOMPARE(QueryValue(text).size(), keepUnreserved);
    qsizetype everyByteLength = 0;
    qsizetype keepUnreservedLength = 0;
    for (const char32_t codePoint : text.toUcs4()) {
        everyByteLength += EncodedLength(codePoint, QueryEncoding::EveryByte);
        keepUnreservedLength += EncodedLength(codePoint, QueryEncoding::KeepUnreserved);
    }
    QCOMPARE(everyByteLength, everyByte);
    QCOMPARE(keepUnreservedLength, keepUnreserved);
}

void TestTextPieces::splitsLongTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("budget");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QueryEncoding>("encoding");
    QTest::newRow("fits: one piece, untouched")
        << u" a\n\nb "_s << 100 << QStringList{{}, u" a\n\nb |"_s} << kKeep;
    QTest::newRow("no budget: one piece")
        << u"abc. def"_s << 0 << QStringList{{}, u"abc. def|"_s} << kKeep;
    QTest::newRow("paragraph break, with the white space around it")
        << u"aaaa. bb  \r\n\n  cc"_s << 20 << QStringList{{}, u"aaaa. bb|  \r\n\n  "_s, u"cc|"_s}
        << kKeep;
    QTest::newRow("sentence end, the space kept")
        << u"One. Two"_s << 9 << QStringList{{}, u"One.| "_s, u"Two|"_s} << kKeep;
    QTest::newRow("full-width and half-width ends")
        << u"あ。い！う？え｡お"_s << 36 << QStringList{{}, u"あ。い！|"_s, u"う？え｡|"_s, u"お|"_s}
        << kKeep;
    QTest::newRow("closing quote stays with its sentence")
        << u"「はい。」そう"_s << 54 << QStringList{{}, u"「はい。」|"_s, u"そう|"_s} << kKeep;
    QTest::newRow("a dot inside a word ends nothing")
        << u"3.14159 is pi"_s << 9 << QStringList{{}, u"3.14159| "_s, u"is pi|"_s} << kKeep;
    QTest::newRow("between characters")
        << u"一二三四五"_s << 18 << QStringList{{}, u"一二|"_s, u"三四|"_s, u"五|"_s} << kKeep;
    QTest::newRow("never inside a surrogate pair")
        << u"ab😀c"_s << 13 << QStringList{{}, u"ab|"_s, u"😀c|"_s} << kKeep;
    QTest::newRow("never before a combining mark")
        << u"abe\u0301f"_s << 8 << QStringList{{}, u"ab|"_s, u"e\u0301f|"_s} << kKeep;
    QTest::newRow("every byte encoded: a letter takes three")
        << u"One. Two"_s << 12 << QStringList{{}, u"One.| "_s, u"Two|"_s}
        << QueryEncoding::EveryByte;
    QTest::newRow("leading white space kept apart")
        << u"\n\n一二三"_s << 18 << QStringList{u"\n\n"_s, u"一二|"_s, u"三|"_s} << kKeep;
}

void TestTextPieces::splitsLongTexts() {
    QFETCH(QString, text);
    QFETCH(int, budget);
    QFETCH(QStringList, pieces);
    QFETCH(QueryEncoding, encoding);
    const TextPieces split = SplitText(text, budget, encoding);
    QCOMPARE(Described(split), pieces);
    for (const TextPiece &piece : split.pieces) {
        QVERIFY(budget == 0 || EncodedSize(piece.text, encoding) <= budget);
    }
}

void TestTextPieces::splitsByTheServicesRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("budget");
    QTest::addColumn<bool>("everyLine");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("fits: the white space around stays out")
        << u"  猫が好き。 \n"_s << 100 << false << QStringList{u"  "_s, u"猫が好き。| \n"_s};
    QTest::newRow("every line, blank lines and CR LF in the separators")
        << u"一行目\r\n\r\n 二行目 \n三"_s << 100 << true
        << QStringList{QString(), u"一行目|\r\n\r\n "_s, u"二行目| \n"_s, u"三|"_s};
    QTest::newRow("a long line in bytes of UTF-8")
        << u"猫猫猫猫\n犬"_s << 6 << true
        << QStringList{QString(), u"猫猫|"_s, u"猫猫|\n"_s, u"犬|"_s};
}

void TestTextPieces::splitsByTheServicesRule() {
    QFETCH(QString, text);
    QFETCH(int, budget);
    QFETCH(bool, everyLine);
    QFETCH(QStringList, pieces);
    QCOMPARE(Described(SplitText(text, PieceRule{budget, Utf8Cost, everyLine})), pieces);
}

QTEST_APPLESS_MAIN(TestTextPieces)
#include "tst_textpieces.moc"
