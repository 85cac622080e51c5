#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace vexilo {

struct Declare;
class PictureBox;
class Platform;

// The About window: picture, author, e-mail, the site link, version and dates, a small flag.
// Made afresh each time it is shown; it keeps nothing between openings.
class frmOprog : public QDialog
{
    Q_OBJECT
public:
    frmOprog(const Declare &state, Platform &platform, QWidget *parent = nullptr);
    ~frmOprog() override;

    static QString siteAddress() { return QStringLiteral("https://vexilo.example.org/"); }

    // Controls, by their design names; Label2 uses the indexes 0 and 3..7.
    QLabel *Image1 = nullptr;
    std::array<QLabel *, 8> Label2{};
    QLabel *Label1 = nullptr;
    QString Label1Tag; // the address the link opens
    QWidget *Line1 = nullptr;
    QWidget *Line2 = nullptr;
    PictureBox *Picture1 = nullptr;
    QPushButton *OK = nullptr;

    void Label1_Click();
    void OK_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();

    const Declare &m_state;
    Platform &m_platform;
};

} // namespace vexilo
