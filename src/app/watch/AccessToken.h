#pragma once

#include <QByteArrayView>
#include <QString>

#include "platform/Result.h"

namespace tessarin::app::watch {

// The secret a client of the served page must show when the page is served beyond this machine.
// It is kept in the settings folder in watch-token.txt, readable by the operator alone.
inline constexpr auto kTokenFile = "watch-token.txt";

// 32 bytes from the system's cryptographically secure source, as 64 hexadecimal digits.
QString makeToken();
// The kept token, or a new one made and kept when there is none yet or `renew` asks for it.
platform::Result<QString> loadOrMakeToken(const QString& settingsFolder, bool renew);
// Compares in a time that depends on the lengths only, so that a client cannot find the token
// one character at a time by timing its answers.
bool sameSecret(QByteArrayView given, QByteArrayView expected);
// A request shows `token` in its Authorization header ("Bearer TOKEN") or in its target's query
// ("?token=TOKEN").
bool carriesToken(const QByteArray& target, const QByteArray& authorization,
                  const QByteArray& token);

}  // namespace tessarin::app::watch
