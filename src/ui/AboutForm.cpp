#include "ui/AboutForm.h"

#include "ui_AboutForm.h"

#include "i18n/LanguageReader.h"
#include "platform/Launcher.h"

#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace {
// Link labels read as links on the dark skin and on the plain system look alike.
// A link reached with the keyboard shows a dotted frame.
constexpr const char* kLinkStyle =
    "QLabel { color: #5b9bd5; text-decoration: underline; border: 1px solid transparent; }"
    "QLabel:focus { border: 1px dotted #5b9bd5; }";
} // namespace

AboutForm::AboutForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AboutForm>()) {
    ui_->setupUi(this);
    picIcon = ui_->picIcon;
    lblTitle = ui_->lblTitle;
    lblVersion = ui_->lblVersion;
    lblDescription = ui_->lblDescription;
    SCLabel1 = ui_->SCLabel1;
    SCLabel2 = ui_->SCLabel2;
    cmdOK = ui_->cmdOK;

    setAttribute(Qt::WA_DeleteOnClose);
    // A fixed dialog frame: title and close control only, no minimize or maximize.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());

    for (QLabel* link : {SCLabel1, SCLabel2}) {
        link->setStyleSheet(QString::fromLatin1(kLinkStyle));
        link->installEventFilter(this);
    }
    connect(cmdOK, &QPushButton::clicked, this, &AboutForm::cmdOK_Click);
    // The box opens with OK focused; the links follow it in the tab order.
    cmdOK->setFocus();

    Form_Load();
}

AboutForm::~AboutForm() = default;

void AboutForm::Form_Load() {
    const QString appTitle = QString::fromLatin1(FixedText::AppTitle);
    setWindowTitle(caption(Caption::AboutTitle) + QLatin1Char(' ') + appTitle);
    lblVersion->setText(caption(Caption::AboutVersion) + QLatin1Char(' ') +
                        QString::number(STILLBECK_VERSION_MAJOR) + QLatin1Char('.') +
                        QString::number(STILLBECK_VERSION_MINOR) + QStringLiteral(".0.") +
                        QString::number(STILLBECK_VERSION_PATCH));
    lblTitle->setText(appTitle);
    lblDescription->setText(caption(Caption::AboutDescription));
}

void AboutForm::Form_Paint() {
    const QIcon icon = windowIcon();
    // Setting the same picture again would only queue another repaint of the window.
    if (shownIcon_ == icon.cacheKey())
        return;
    shownIcon_ = icon.cacheKey();
    picIcon->setPixmap(icon.pixmap(picIcon->size()));
}

void AboutForm::SCLabel1_GotFocus() {
    platform::openDocument(SCLabel1->text());
}

void AboutForm::SCLabel2_GotFocus() {
    platform::openDocument(QStringLiteral("mailto:") + SCLabel2->text());
}

void AboutForm::cmdOK_Click() {
    close();
}

bool AboutForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowIconChange)
        update();
    return QDialog::event(event);
}

void AboutForm::paintEvent(QPaintEvent* event) {
    Form_Paint();
    QDialog::paintEvent(event);
}

void AboutForm::showEvent(QShowEvent* event) {
    Form_Paint();
    QDialog::showEvent(event);
}

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLabel*>(watched);
    if (link != SCLabel1 && link != SCLabel2)
        return QDialog::eventFilter(watched, event);
    const auto openLink = [this, link] {
        if (link == SCLabel1)
            SCLabel1_GotFocus();
        else
            SCLabel2_GotFocus();
    };
    switch (event->type()) {
    case QEvent::FocusIn:
        // Only a click opens a link as it takes the focus. Tabbing onto it, showing the box or
        // returning to the window (which gives the focus back to the link clicked last) must not.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            openedOnFocus_ = link;
            openLink();
        }
        break;
    case QEvent::FocusOut:
        openedOnFocus_ = nullptr;
        break;
    case QEvent::MouseButtonRelease:
        // A click on a link that already had the focus opens it too; the click that gave it the
        // focus has opened it already.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            link->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            if (openedOnFocus_ == link)
                openedOnFocus_ = nullptr;
            else
                openLink();
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            openLink();
            return true; // Enter on a link opens it; it does not press the default button
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutForm::applyCaptions() {
    cmdOK->setText(caption(Caption::Ok));
}
