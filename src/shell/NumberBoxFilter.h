#pragma once

#include <QObject>

namespace vexilo {

// The number boxes take digits and the control codes up to backspace; every other typed
// character is swallowed. Keys that type nothing (navigation, Delete, shortcuts) pass.
class NumberBoxFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The rule on the character code of a typed key.
    static bool passesCharacter(int code) { return code <= 8 || (code >= '0' && code <= '9'); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace vexilo
