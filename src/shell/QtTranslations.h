#pragma once

#include <QTranslator>

#include <memory>

namespace vexilo {

// Qt's own Russian texts (qtbase_ru from Qt's translations folder), so the standard dialogs,
// buttons and context menus speak the language of the rest of the window. Installed into the
// application while the returned translator lives; nothing when the translations are missing.
std::unique_ptr<QTranslator> installQtRussian();

} // namespace vexilo
