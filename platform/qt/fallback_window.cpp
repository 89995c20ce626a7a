#include "platform/qt/fallback_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/texts.h"
#include "platform/qt/form_style.h"
#include "platform/qt/pictures.h"
#include "platform/qt/twips.h"

namespace kesrow::qt {

FallbackWindow::FallbackWindow(const std::vector<std::string>& commands, int defaultCommand)
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowIcon(ProgramIcon());
    setFont(FormFont());
    QAction* menuEnd = menuBar()->addAction(QString::fromUtf8(kMenuEndCaption));
    menuEnd->setObjectName(QStringLiteral("MenuEnd"));
    connect(menuEnd, &QAction::triggered, this, [this] { if (MenuEnd_Click) MenuEnd_Click(); });

    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    auto* status = new QHBoxLayout;
    picture_ = new QLabel(body);
    picture_->setFixedSize(32, 32);
    tooltip_ = new QLabel(body);
    tooltip_->setWordWrap(true);
    tooltip_->setTextFormat(Qt::PlainText);  // the holder's name comes from a file
    status->addWidget(picture_);
    status->addWidget(tooltip_, 1);
    column->addLayout(status);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        auto* button = new QPushButton(QString::fromStdString(commands[i]), body);
        if (int(i) == defaultCommand) button->setFont(FormFont(true));
        connect(button, &QPushButton::clicked, this, [this, i] { if (onCommand) onCommand(int(i)); });
        column->addWidget(button);
    }
    setCentralWidget(body);
    // The main form's stored place and size.
    move(TwipsToPixelsX(this, 1095), TwipsToPixelsY(this, 2730));
    resize(TwipsToPixelsX(this, 2940), TwipsToPixelsY(this, 2475));
}

void FallbackWindow::showStatus(const QIcon& picture, const QString& tooltip)
{
    picture_->setPixmap(picture.isNull() ? QPixmap() : picture.pixmap(32, 32));
    tooltip_->setText(tooltip);
    if (!picture.isNull() && !isVisible()) show();
}

void FallbackWindow::showNotice(const QString& text)
{
    statusBar()->showMessage(text, 10000);
}

void FallbackWindow::closeEvent(QCloseEvent* event)
{
    if (onClose) onClose();
    event->accept();
}

}  // namespace kesrow::qt
