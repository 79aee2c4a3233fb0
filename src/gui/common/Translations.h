#pragma once

class QTranslator;

namespace tarmelo::gui {

// Qt's own texts in German: file dialogs, the overwrite question, the context menus of text fields, the print
// preview. The translator installed (owned by the application), or nullptr when the system has no German
// translation of Qt.
QTranslator* installQtTranslations();

} // namespace tarmelo::gui
