#include "files/TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

namespace Files {
namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);

// UTF-16 in the given byte order, every surrogate paired; false when the bytes
// are not that (an odd count, a lone half).
bool DecodeUtf16(const char* Data, qsizetype Size, bool BigEndian, QString& Text)
{
    if (Size % 2 != 0)
        return false;
    Text.resize(Size / 2);
    char16_t* Out = reinterpret_cast<char16_t*>(Text.data());
    bool HighPending = false;
    for (qsizetype I = 0; I < Size / 2; ++I) {
        const char* At = Data + 2 * I;
        const char16_t Unit = BigEndian ? qFromBigEndian<quint16>(At) : qFromLittleEndian<quint16>(At);
        const bool High = QChar::isHighSurrogate(Unit);
        const bool Low = QChar::isLowSurrogate(Unit);
        if (Low != HighPending || (HighPending && High))
            return false;
        HighPending = High;
        Out[I] = Unit;
    }
    return !HighPending;
}

} // namespace

TTextEncoding DecodeText(const QByteArray& Bytes, QString& Decoded)
{
    const uchar First = Bytes.size() >= 2 ? static_cast<uchar>(Bytes[0]) : 0;
    const uchar Second = Bytes.size() >= 2 ? static_cast<uchar>(Bytes[1]) : 0;
    if ((First == 0xFF && Second == 0xFE) || (First == 0xFE && Second == 0xFF)) {
        const bool BigEndian = First == 0xFE;
        if (DecodeUtf16(Bytes.constData() + 2, Bytes.size() - 2, BigEndian, Decoded))
            return BigEndian ? TTextEncoding::Utf16BE : TTextEncoding::Utf16LE;
    } else {
        const bool Marked = Bytes.startsWith(Utf8Mark);
        // The mark is taken off here, a second one being text; bytes cut short at
        // the end are no more UTF-8 than any others.
        QStringDecoder Utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
        Decoded = Utf8(QByteArrayView(Bytes).sliced(Marked ? Utf8Mark.size() : 0));
        if (!Utf8.hasError())
            return Marked ? TTextEncoding::Utf8Bom : TTextEncoding::Utf8;
    }
    Decoded = QString::fromLatin1(Bytes);
    return TTextEncoding::Latin1;
}

bool CanEncode(const QString& Text, TTextEncoding Encoding)
{
    if (Encoding != TTextEncoding::Latin1)
        return true;
    for (const QChar Ch : Text)
        if (Ch.unicode() > 0xFF)
            return false;
    return true;
}

QByteArray EncodeText(const QString& Text, TTextEncoding Encoding)
{
    switch (Encoding) {
    case TTextEncoding::Utf8: return Text.toUtf8();
    case TTextEncoding::Utf8Bom: return Utf8Mark + Text.toUtf8();
    case TTextEncoding::Latin1: return Text.toLatin1();
    case TTextEncoding::Utf16LE:
    case TTextEncoding::Utf16BE: break;
    }
    QStringEncoder Utf16(Encoding == TTextEncoding::Utf16BE ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE,
                         QStringEncoder::Flag::WriteBom);
    return Utf16(Text);
}

QString EncodingName(TTextEncoding Encoding)
{
    switch (Encoding) {
    case TTextEncoding::Utf8:
    case TTextEncoding::Utf8Bom: return QStringLiteral("UTF-8");
    case TTextEncoding::Utf16LE:
    case TTextEncoding::Utf16BE: return QStringLiteral("UTF-16");
    case TTextEncoding::Latin1: break;
    }
    return QStringLiteral("Latin-1");
}

} // namespace Files
