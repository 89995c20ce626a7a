#include "platform/qt/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "platform/qt/form_style.h"
#include "platform/qt/pictures.h"
#include "platform/qt/twips.h"
#include "core/texts.h"
#include "ui/form_layouts.h"

namespace kesrow::qt {

QString DisclaimerLines(const char* caption)
{
    // The runs of blanks wrap the parts onto lines of their own only with the
    // original font's metrics; break there explicitly instead.
    return QString::fromUtf8(caption).replace(QRegularExpression(QStringLiteral(" {2,}")),
                                              QStringLiteral("\n"));
}

AboutDialog::AboutDialog(std::function<void()> onSysInfo, QWidget* owner)
    : QDialog(owner), onSysInfo_(std::move(onSysInfo))
{
    MakeFixedDialog(this, QString(), kAboutClientWidth, kAboutClientHeight);
    setWindowIcon(ProgramIcon());

    // Children are created in tab order: cmdOK first, so it has the focus.
    cmdOK_ = new QPushButton(QString::fromUtf8(kOkCaption), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(TwipsToPixels(this, kAboutOkButton));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(TwipsToPixels(this, kAboutPicture));
    picIcon->setPixmap(QPixmap::fromImage(AboutPicture()));
    picIcon->setScaledContents(true);

    // The "&S" in the caption makes Alt+S press it.
    cmdSysInfo_ = new QPushButton(QString::fromUtf8(kAboutSysInfoButton), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo_->setGeometry(TwipsToPixels(this, kAboutSysInfoRect));
    cmdSysInfo_->setAutoDefault(false);
    connect(cmdSysInfo_, &QPushButton::clicked, this, [this] { if (onSysInfo_) onSysInfo_(); });

    const TwipsRect& d = kAboutDisclaimerRect;
    QLabel* disclaimer = newLabel("lblDisclaimer", "", d.left, d.top, d.width, d.height);
    disclaimer->setText(DisclaimerLines(kAboutDisclaimer));
    disclaimer->setWordWrap(true);

    const TwipsRect& t = kAboutTitleRect;
    QLabel* title = newLabel("lblTitle", kAboutTitleLabel, t.left, t.top, t.width, t.height);
    title->setFont(FormFont(true));
    QPalette blue = title->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    title->setPalette(blue);

    const TwipsRect& n = kAboutNoteRect;
    newLabel("lblVersion", kAboutServerNote, n.left, n.top, n.width, n.height);

    text1_ = NewGreyTextBox(this, QStringLiteral("Text1"));
    text1_->setGeometry(TwipsToPixels(this, kAboutHistoryBox));
    SetBoxText(text1_, kAboutHistory);

    const TwipsRect& v = kAboutVersionRect;
    newLabel("Label1", kAboutVersionLabel, v.left, v.top, v.width, v.height);

    // The etched separator: grey over white.
    newLine("Line1_1", QColor(128, 128, 128), kAboutGreyLine[0], kAboutGreyLine[2], kAboutGreyLine[1], 1);
    newLine("Line1_0", QColor(255, 255, 255), kAboutWhiteLine[0], kAboutWhiteLine[2], kAboutWhiteLine[1], 2);

    setTabOrder(cmdOK_, cmdSysInfo_);
    setTabOrder(cmdSysInfo_, text1_);
    cmdOK_->setFocus();
    Form_Load();
}

void AboutDialog::Form_Load()
{
    setWindowTitle(QString::fromUtf8(kAboutCaption));
}

QLabel* AboutDialog::newLabel(const char* name, const char* caption, int left, int top, int width,
                              int height)
{
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(TwipsToPixels(this, left, top, width, height));
    return label;
}

void AboutDialog::newLine(const char* name, const QColor& colour, int x1, int x2, int y, int widthPixels)
{
    auto* line = new QFrame(this);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(TwipsToPixelsX(this, x1), TwipsToPixelsY(this, y),
                      TwipsToPixelsX(this, x2) - TwipsToPixelsX(this, x1) + 1, widthPixels);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

}  // namespace kesrow::qt
