#pragma once

#include <QByteArray>
#include <QString>

namespace tessarin::app {

// The plain text of a Rich Text Format document: groups, control words and symbols, "\'hh"
// escapes in the document's code page, "\uN" with its "\ucN" fallback, "\binN" data, and the
// destinations that hold no body text (font, colour and style tables, document info, "{\*...}")
// skipped. Text that does not start with "{\rtf" is returned as it stands (a file written by
// hand with the bare text).
QString rtfToPlainText(const QByteArray& document);

// A well-formed RTF document whose plain text is `text`.
QByteArray plainTextToRtf(const QString& text);

}  // namespace tessarin::app
