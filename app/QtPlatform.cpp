// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "QtPlatform.h"

#include "ErrorTrap.h"
#include "Main.h"
#include "Spawn.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>


#include <chrono>
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <vector>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <cmath>
#include <map>
#include <memory>
#include <cstdlib>
#include <cstring>

int QtMessageBoxes::show(const QString& text, const QString& title, int style)
{
    QMessageBox box;
    box.setWindowTitle(title);
    // Always plain text: a file name or an office message may look like
    // markup. A lone CR breaks the line as CR LF does (the error message
    // ends its path line with CR CR to leave an empty line).
    box.setTextFormat(Qt::PlainText);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setIcon((style & Exclamation) == Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    if ((style & 7) == YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Yes : No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Ok;
}

QString QtSaveDialog::showSave(const QString& title, const QString& filter, const QString& fileName)
{
    // "Description|pattern" pairs become Qt's "Description (pattern)" entries.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << (parts[i].contains(parts[i + 1]) ? parts[i] : parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')'));
    QFileDialog dialog(nullptr, title, QString(), entries.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own overwrite question and keeps names as typed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

namespace {
QSettings& SettingsFile(const QString& application)
{
    static std::map<QString, std::unique_ptr<QSettings>> files;
    auto& file = files[application];
    if (!file) {
        file = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, application);
        // A configuration folder made here is the user's own alone, whatever the umask.
        try {
            MakeMissingFolders(QFileInfo(file->fileName()).path());
        } catch (const Failure&) {
            // Reported by the settings themselves when they cannot be written.
        }
    }
    return *file;
}

void ThrowOnError(const QSettings& settings)
{
    if (settings.status() == QSettings::AccessError)
        throw Failure(QCoreApplication::translate("QtPlatform", "Cannot access the settings file %1")
            .arg(settings.fileName()));
    if (settings.status() == QSettings::FormatError)
        throw Failure(QCoreApplication::translate("QtPlatform", "The settings file is damaged: %1")
            .arg(settings.fileName()));
}
} // namespace

QString QtSettingsStore::read(const QString& application, const QString& section, const QString& key,
                              const QString& defaultValue)
{
    QSettings& settings = SettingsFile(application);
    settings.sync();
    ThrowOnError(settings);
    settings.beginGroup(section);
    const QVariant value = settings.value(key);
    settings.endGroup();
    return value.isValid() ? value.toString() : defaultValue;
}

void QtSettingsStore::write(const QString& application, const QString& section, const QString& key,
                            const QString& value)
{
    QSettings& settings = SettingsFile(application);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    // Written at once; QSettings replaces the file atomically.
    settings.sync();
    ThrowOnError(settings);
}

void QtProcessStarter::startDetached(const QString& program, const QStringList& arguments)
{
    const QString path = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    std::vector<QByteArray> argv{QFile::encodeName(path)};
    for (const QString& argument : arguments)
        argv.push_back(argument.toLocal8Bit());
    const pid_t pid = path.isEmpty() ? 0 : SpawnInOwnSession(argv);
    if (pid == 0)
        throw Failure(QCoreApplication::translate("QtPlatform", "File not found: %1").arg(program));
    // Nothing waits for it but this, so that it leaves no zombie behind.
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

void QtClipboard::setImage(const QImage& image)
{
    QApplication::clipboard()->setImage(image);
}

void QtClipboard::setCard(const QImage& picture, const QByteArray& pdf)
{
    auto* data = new QMimeData;
    // Offered as image/png and the window system's other picture types.
    data->setImageData(picture);
    data->setData(QStringLiteral("application/pdf"), pdf);
    QApplication::clipboard()->setMimeData(data);
}

QImage QtClipboard::image()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        throw Failure(QCoreApplication::translate("QtPlatform", "The clipboard holds no picture"));
    const QImage picture = QApplication::clipboard()->image();
    if (picture.isNull())
        throw Failure(QCoreApplication::translate("QtPlatform", "The clipboard holds no picture"));
    return picture;
}

namespace {
// How long a signal waits for the user interface to close its window.
constexpr auto kSignalGrace = std::chrono::milliseconds(1000);
// How long an ending program waits for a file being written (a slow USB
// stick or network folder), before it gives up on it.
constexpr auto kWriteGrace = std::chrono::milliseconds(20000);

sigset_t EndSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&set, s);
    return set;
}
} // namespace

namespace {
// How long an ending program waits for the desktop's clipboard manager to
// take the card it copied.
constexpr auto kClipboardGrace = std::chrono::milliseconds(3000);

// What this program put on the clipboard goes to the desktop's clipboard
// manager (ICCCM's SAVE_TARGETS), as Qt hands it over when its application
// object is destroyed, which an end at once never does. On X only, and
// from the window's thread, which serves the manager's requests.
void HandClipboardToManager()
{
    if (!qApp || QThread::currentThread() != qApp->thread() || !QApplication::clipboard()->ownsClipboard())
        return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto atom = [connection](const char* name) {
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    const xcb_atom_t manager = atom("CLIPBOARD_MANAGER");
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, manager), nullptr), &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return;
    // A window of its own to hear the manager's answer on.
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root,
                      0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    struct Answer : QAbstractNativeEventFilter {
        xcb_window_t window = 0;
        bool came = false;
        bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
        {
            const auto* event = static_cast<const xcb_generic_event_t*>(message);
            if (type == "xcb_generic_event_t" && (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY
                && reinterpret_cast<const xcb_selection_notify_event_t*>(event)->requestor == window)
                came = true;
            return false;
        }
    } answer;
    answer.window = window;
    qApp->installNativeEventFilter(&answer);
    xcb_convert_selection(connection, window, manager, atom("SAVE_TARGETS"), atom("PELORIN_SAVED"), XCB_CURRENT_TIME);
    xcb_flush(connection);
    QElapsedTimer waited;
    waited.start();
    // The manager asks this program's clipboard for each form meanwhile.
    while (!answer.came && waited.elapsed() < kClipboardGrace.count())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    qApp->removeNativeEventFilter(&answer);
    xcb_destroy_window(connection, window);
    xcb_flush(connection);
}
} // namespace

void QtProgramEnd::end()
{
    static std::atomic<bool> ending{false};
    if (ending.exchange(true))
        for (;;)
            ::pause();
    mEnded = true;
    // A file being written may be the user's card: it is finished first.
    WaitForFileWrites(kWriteGrace);
    if (mBeforeEnd)
        mBeforeEnd();
    HandClipboardToManager();
    RemoveUnfinishedFiles();
    std::fflush(nullptr);
    ::_exit(0);
}

void QtProgramEnd::BlockEndSignals()
{
    const sigset_t set = EndSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void QtProgramEnd::EndOnSignals()
{
    std::thread([this] {
        const sigset_t set = EndSignals();
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        QMetaObject::invokeMethod(qApp, [this] { CloseVisibleWindow(); }, Qt::QueuedConnection);
        std::this_thread::sleep_for(kSignalGrace);
        end();
    }).detach();
}

void QtProgramEnd::CloseVisibleWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Window && !qobject_cast<QDialog*>(window)) {
            window->close();
            break;
        }
    end();
}

void RandomGenerator::seed(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    mEngine.seed(bits);
}

double RandomGenerator::next()
{
    // Some library versions can round generate_canonical up to 1.0.
    const double value = std::generate_canonical<double, 53>(mEngine);
    return value < 1.0 ? value : std::nextafter(1.0, 0.0);
}

double SecondsSinceMidnight()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const qint64 offset = QDateTime::currentDateTime().offsetFromUtc();
    const auto sinceEpoch = duration_cast<nanoseconds>(now.time_since_epoch()).count() + offset * 1000000000LL;
    const qint64 day = 86400LL * 1000000000LL;
    return double(((sinceEpoch % day) + day) % day) / 1e9;
}
