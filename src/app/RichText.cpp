#include "app/RichText.h"

QString RtfToPlainText(const QByteArray& document) { return QString::fromLatin1(document); }
QByteArray PlainTextToRtf(const QString& text) { return text.toLatin1(); }
