#include "ui/AboutForm.h"

#include "ui_AboutForm.h"

#include "i18n/LanguageReader.h"
#include "platform/Launcher.h"

#include <QFocusEvent>
#include <QIcon>
#include <QPushButton>

namespace {
// Link labels read as links on the dark skin and on the plain system look alike.
constexpr const char* kLinkStyle = "color: #5b9bd5; text-decoration: underline;";
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
    if (event->type() == QEvent::FocusIn) {
        // Returning to the window gives the focus back to the link clicked last; that is not a
        // new visit and must not open the link again.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == SCLabel1)
                SCLabel1_GotFocus();
            else if (watched == SCLabel2)
                SCLabel2_GotFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}
