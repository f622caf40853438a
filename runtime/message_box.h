#pragma once

class QString;
class QWidget;

namespace tavrik {

// Modal box owned by `owner`: the message, one OK button, no icon, titled with
// the application's name. Returns once the user has closed it.
void showMessageBox(QWidget* owner, const QString& message);

} // namespace tavrik
