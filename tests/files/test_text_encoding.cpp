// Tape bytes as text and back: whatever the encoding a file was read in, saving
// the same text gives the same bytes.
#include <QtTest>

#include "files/TextEncoding.h"

using Files::TTextEncoding;

Q_DECLARE_METATYPE(Files::TTextEncoding)

class TestTextEncoding : public QObject {
    Q_OBJECT
private slots:
    void readAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TTextEncoding>("encoding");
        QTest::addColumn<QString>("text");
        const auto Row = [](const char* Name, const QByteArray& Bytes, TTextEncoding Encoding, const QString& Text) {
            QTest::newRow(Name) << Bytes << Encoding << Text;
        };
        Row("empty", "", TTextEncoding::Utf8, "");
        Row("utf-8", "T\xC2\xA3\n", TTextEncoding::Utf8, QString::fromUtf8("T\u00A3\n"));
        Row("utf-8 with mark", "\xEF\xBB\xBFPF", TTextEncoding::Utf8Bom, "PF");
        Row("utf-8, a second mark is text", "\xEF\xBB\xBF\xEF\xBB\xBF", TTextEncoding::Utf8Bom, QString(QChar(0xFEFF)));
        Row("latin-1 e acute", "\xE9", TTextEncoding::Latin1, QString(QChar(0xE9)));
        Row("latin-1, utf-8 cut short", "A\xE2\x82", TTextEncoding::Latin1, QString::fromUtf8("A\u00E2\u0082"));
        Row("latin-1, a surrogate in utf-8 form", "\xED\xA0\x80", TTextEncoding::Latin1,
            QString::fromUtf8("\u00ED\u00A0\u0080"));
        Row("utf-16 LE", QByteArray("\xFF\xFET\0\n\0=\xD8\0\xDE", 10), TTextEncoding::Utf16LE,
            QString::fromUtf8("T\n\U0001F600"));
        Row("utf-16 BE", QByteArray("\xFE\xFF\0T\x20\xAC", 6), TTextEncoding::Utf16BE, QString::fromUtf8("T\u20AC"));
        Row("utf-16 mark alone", "\xFF\xFE", TTextEncoding::Utf16LE, "");
        // Not whole UTF-16 after all: the bytes as they are.
        Row("odd count after the mark",
            "\xFF\xFE"
            "A",
            TTextEncoding::Latin1,
            QString::fromLatin1("\xFF\xFE"
                                "A"));
        Row("lone high surrogate", QByteArray("\xFF\xFE\x00\xD8", 4), TTextEncoding::Latin1,
            QString::fromLatin1(QByteArray("\xFF\xFE\x00\xD8", 4)));
        Row("lone low surrogate", QByteArray("\xFE\xFF\xDC\x00\x00\x41", 6), TTextEncoding::Latin1,
            QString::fromLatin1(QByteArray("\xFE\xFF\xDC\x00\x00\x41", 6)));
    }
    void readAndWrittenBack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TTextEncoding, encoding);
        QFETCH(QString, text);
        QString Decoded;
        QCOMPARE(Files::DecodeText(bytes, Decoded), encoding);
        QCOMPARE(Decoded, text);
        QVERIFY(Files::CanEncode(Decoded, encoding));
        QCOMPARE(Files::EncodeText(Decoded, encoding), bytes);
    }

    void latin1HoldsOnlyItsOwnCharacters()
    {
        const QString Euro = QString::fromUtf8("T\u20AC");
        QVERIFY(!Files::CanEncode(Euro, TTextEncoding::Latin1));
        for (const TTextEncoding E :
             {TTextEncoding::Utf8, TTextEncoding::Utf8Bom, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE}) {
            QVERIFY(Files::CanEncode(Euro, E));
            QString Back;
            QCOMPARE(Files::DecodeText(Files::EncodeText(Euro, E), Back), E);
            QCOMPARE(Back, Euro);
        }
        QCOMPARE(Files::EncodingName(TTextEncoding::Utf16BE), "UTF-16");
    }
};

QTEST_MAIN(TestTextEncoding)
#include "test_text_encoding.moc"
