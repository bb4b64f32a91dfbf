#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

namespace qm::gui {

// The start-up window "用户登陆". It is the program's first window; the first time it is drawn it
// hides itself and shows the main window. Its boxes are not checked: there are no users.
class LoginWindow : public QWidget {
    Q_OBJECT

  public:
    // enterMainWindow is called (once per "登陆" or first drawing) to show the main window.
    explicit LoginWindow(std::function<void()> enterMainWindow, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void enter();

    std::function<void()> enterMainWindow_;
    QLineEdit* userEdit_;
    QLineEdit* passwordEdit_;
    QPushButton* loginButton_;
    QPushButton* cancelButton_;
    bool drawn_ = false;
};

}  // namespace qm::gui
