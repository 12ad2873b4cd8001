// A text file's bytes as text and back, so that a file is saved in the encoding
// it was read in: UTF-8 (with or without its mark), UTF-16 with its byte-order
// mark in either order, or Latin-1 for bytes that are neither, which every
// string of bytes is.
#pragma once

#include <QByteArray>
#include <QString>

namespace Files {

enum class TTextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Latin1 };

// The encoding the bytes are read in: UTF-16 when they start with its mark and
// the rest is whole UTF-16; UTF-8 when they are valid UTF-8; Latin-1 otherwise.
// Decoded holds the text, mark left out.
TTextEncoding DecodeText(const QByteArray& Bytes, QString& Decoded);

// Whether Encoding can hold every character of Text (only Latin-1 cannot).
bool CanEncode(const QString& Text, TTextEncoding Encoding);
// The bytes of Text in Encoding, with the mark where the encoding has one.
// Characters Latin-1 cannot hold must be ruled out first with CanEncode.
QByteArray EncodeText(const QString& Text, TTextEncoding Encoding);

// "UTF-8", "UTF-16" or "Latin-1", for messages.
QString EncodingName(TTextEncoding Encoding);

} // namespace Files
