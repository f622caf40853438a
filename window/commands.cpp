#include "window/commands.h"

#include "runtime/controls.h"

#include <QCoreApplication>

namespace tavrik {

void clearFields(Controls& form) {
    form.setText(TextBox::Text1, QString());
    form.setText(TextBox::Text2, QString());
    form.setText(TextBox::Text3, QString());
    form.clearList();
}

void exitProgram() { QCoreApplication::exit(0); }

} // namespace tavrik
