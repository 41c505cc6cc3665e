#include <QTest>

#include "translation/modPub.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

class TestEncodeQuery : public QObject {
    Q_OBJECT

private slots:
    void encodesEveryUtf8Byte_data();
    void encodesEveryUtf8Byte();
    void neverEncodesAByteOrderMark();
    void decodingTheValueGivesTheUtf8Bytes();
};

void TestEncodeQuery::encodesEveryUtf8Byte_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii letters") << u"abc"_s << u"%61%62%63"_s;
    QTest::newRow("space") << u" "_s << u"%20"_s;
    QTest::newRow("inner space, never +") << u"a b"_s << u"%61%20%62"_s;
    QTest::newRow("hiragana") << u"あ"_s << u"%E3%81%82"_s;
    QTest::newRow("hanzi") << u"中文"_s << u"%E4%B8%AD%E6%96%87"_s;
    QTest::newRow("crlf and tab") << u"\r\n\t"_s << u"%0D%0A%09"_s;
    QTest::newRow("query separators") << u"+&=?"_s << u"%2B%26%3D%3F"_s;
    QTest::newRow("unreserved characters") << u"-._~09AZ"_s << u"%2D%2E%5F%7E%30%39%41%5A"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("nul") << QString(QChar(0)) << u"%00"_s;
    QTest::newRow("emoji outside the BMP") << u"😀"_s << u"%F0%9F%98%80"_s;
    QTest::newRow("unpaired high surrogate") << QString(QChar(0xD83D)) << u"%EF%BF%BD"_s;
    QTest::newRow("unpaired low surrogate")
        << (u"a"_s + QChar(0xDE00) + u"b"_s) << u"%61%EF%BF%BD%62"_s;
    QTest::newRow("leading U+FEFF is text") << u"\uFEFFa"_s << u"%EF%BB%BF%61"_s;
}

void TestEncodeQuery::encodesEveryUtf8Byte() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(EncodeQuery(text), expected);
}

void TestEncodeQuery::neverEncodesAByteOrderMark() {
    for (const QString &text : {u"a"_s, u"日本語"_s, u"\r\n"_s}) {
        QVERIFY(!EncodeQuery(text).startsWith(u"%EF%BB%BF"));
    }
}

void TestEncodeQuery::decodingTheValueGivesTheUtf8Bytes() {
    QString text;
    for (char32_t c = 1; c < 0x3100; c += 7) {
        text += QString::fromUcs4(&c, 1);
    }
    const QString encoded = EncodeQuery(text);
    QCOMPARE(encoded.size(), text.toUtf8().size() * 3);
    QCOMPARE(QByteArray::fromPercentEncoding(encoded.toLatin1()), text.toUtf8());
}

QTEST_APPLESS_MAIN(TestEncodeQuery)
#include "tst_encodequery.moc"
