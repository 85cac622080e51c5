#include "FormaUi.h"

#include <QMenuBar>

namespace vexilo::test {

namespace {

template <typename T> T *named(const QObject &root, const QString &name)
{
    T *child = root.findChild<T *>(name);
    Q_ASSERT_X(child != nullptr, "FormaUi", qPrintable(name));
    return child;
}

} // namespace

FormaUi::FormaUi(const frmForma &form)
    : selXYMesyac(named<QComboBox>(form, QStringLiteral("selXYMesyac"))),
      Label1(named<QLabel>(form, QStringLiteral("Label1"))),
      Label4(named<QLabel>(form, QStringLiteral("Label4"))), txtRassttoyanie{},
      selKolMesyacev(named<QComboBox>(form, QStringLiteral("selKolMesyacev"))),
      selMesyac(named<QComboBox>(form, QStringLiteral("selMesyac"))),
      kNew(named<QPushButton>(form, QStringLiteral("kNew"))),
      kSave(named<QPushButton>(form, QStringLiteral("kSave"))),
      picControl(named<SheetView>(form, QStringLiteral("picControl"))),
      picControlInner(named<QWidget>(form, QStringLiteral("picControlInner"))),
      VScroll1(named<QScrollBar>(form, QStringLiteral("VScroll1"))),
      HScroll1(named<QScrollBar>(form, QStringLiteral("HScroll1"))),
      PctrUgol(named<QWidget>(form, QStringLiteral("PctrUgol"))), picRisunok{}, MenuExit(nullptr)
{
    for (std::size_t i = 0; i < txtRassttoyanie.size(); ++i)
        txtRassttoyanie[i] = named<QLineEdit>(form, QStringLiteral("txtRassttoyanie%1").arg(i));
    for (std::size_t k = 0; k < picRisunok.size(); ++k)
        picRisunok[k] = named<PictureBox>(form, QStringLiteral("picRisunok%1").arg(k));
    for (QAction *action : form.findChildren<QAction *>())
        if (action->text() == QStringLiteral("Выход"))
            MenuExit = action;
}

} // namespace vexilo::test
