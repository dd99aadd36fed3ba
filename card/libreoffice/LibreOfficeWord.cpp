#include "LibreOfficeWord.h"

#include "ErrorTrap.h"
#include "OfficeArtShapes.h"
#include "OfficeProcess.h"
#include "Platform.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/io/XOutputStream.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/HoriOrientation.hpp>
#include <com/sun/star/text/RelOrientation.hpp>
#include <com/sun/star/text/VertOrientation.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

const QString kNotRunning = QStringLiteral("The office engine is no longer running.");
// A PDF of one card page is a few hundred kB; anything beyond this is refused.
constexpr qsizetype kMaxPdfBytes = 256 * 1024 * 1024;
// The picture: the page at half its printed size, drawn with three times the pixels.
constexpr double kRenderDpi = 144.0;
constexpr int kPictureDotsPerMeter = 11339;  // 288 dpi
// How long an office may take to end after it was asked to terminate.
constexpr int kQuitGraceMs = 10000;
// How long the request to terminate may take before the office is killed instead.
constexpr int kTerminateBoundMs = 10000;
// Imported shape positions are rounded to 1/100 mm (0.57 twip) on each edge.
constexpr double kMatchToleranceTwips = 3.0;

rtl::OUString toOU(const QString& s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), sal_Int32(s.size()));
}

QString fromOU(const rtl::OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

QString fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

css::beans::PropertyValue property(const char* name, const Any& value)
{
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

Sequence<css::beans::PropertyValue> properties(std::initializer_list<css::beans::PropertyValue> list)
{
    Sequence<css::beans::PropertyValue> out(sal_Int32(list.size()));
    sal_Int32 i = 0;
    for (const auto& p : list)
        out.getArray()[i++] = p;
    return out;
}

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariable(name).toInt(&ok);
    return ok ? value : fallback;
}

// The UNO runtime of this process, bootstrapped once.
Reference<css::uno::XComponentContext> localContext()
{
    static std::mutex mutex;
    static Reference<css::uno::XComponentContext> context;
    std::lock_guard<std::mutex> lock(mutex);
    if (!context.is()) {
        if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
            qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc");
        try {
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const cppu::BootstrapException& e) {
            throw Failure(QStringLiteral("The office engine could not be started: %1").arg(fromOU(e.getMessage())));
        } catch (const css::uno::Exception& e) {
            throw Failure(QStringLiteral("The office engine could not be started: %1").arg(fromOU(e.Message)));
        }
    }
    return context;
}

// Answers every question the office would ask with "abort": no dialog, no repair.
class AbortingHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override
    {
        const Sequence<Reference<css::task::XInteractionContinuation>> choices = request->getContinuations();
        for (sal_Int32 i = 0; i < choices.getLength(); ++i) {
            Reference<css::task::XInteractionAbort> abort(choices[i], UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

// Collects what the office writes, for the PDF export into memory.
class MemoryOutput : public cppu::WeakImplHelper1<css::io::XOutputStream> {
public:
    void SAL_CALL writeBytes(const Sequence<sal_Int8>& data) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mData.size() + data.getLength() > kMaxPdfBytes)
            throw css::io::IOException(rtl::OUString::createFromAscii("picture too large"));
        mData.append(reinterpret_cast<const char*>(data.getConstArray()), data.getLength());
    }
    void SAL_CALL flush() override {}
    void SAL_CALL closeOutput() override {}
    QByteArray data()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mData;
    }

private:
    std::mutex mMutex;
    QByteArray mData;
};

// Ends the office when one armed call runs past its deadline.
class Watchdog {
public:
    explicit Watchdog(OfficeProcess& process) : mProcess(process), mThread([this] { run(); }) {}
    ~Watchdog() { shutdown(); }
    // After this the watchdog never touches the process again.
    void shutdown()
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mQuit = true;
            mArmed = false;
        }
        mWake.notify_all();
        if (mThread.joinable())
            mThread.join();
    }
    void arm(int ms)
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            mArmed = true;
        }
        mWake.notify_all();
    }
    void disarm()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mArmed = false;
    }
    bool fired()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mFired;
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        while (!mQuit) {
            if (!mArmed) {
                mWake.wait(lock);
                continue;
            }
            if (mWake.wait_until(lock, mDeadline) == std::cv_status::timeout && mArmed && !mQuit &&
                std::chrono::steady_clock::now() >= mDeadline) {
                mFired = true;
                mArmed = false;
                lock.unlock();
                mProcess.kill();  // the blocked call then fails as the connection drops
                lock.lock();
            }
        }
    }

    OfficeProcess& mProcess;
    std::mutex mMutex;
    std::condition_variable mWake;
    std::chrono::steady_clock::time_point mDeadline;
    bool mArmed = false;
    bool mFired = false;
    bool mQuit = false;
    std::thread mThread;
};

// A prepared profile is copied instead of letting each office build one.
bool copyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (info.fileName() == QLatin1String(".lock"))
            continue;
        if (info.isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

// Settings every instance starts with: no lock files beside documents (a
// killed office would leave them and block later saves), no first-start work.
const char kRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseDocumentOOoLockFile" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseDocumentSystemFileLocking" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="CreateBackup" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="AutoSave" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/AutoSave"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/RecoveryInfo"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="DisableMacrosExecution" oor:op="fuse"><value>true</value></prop></item>
</oor:items>
)";

// The cache folder for this office installation, or empty when unusable.
QString seedFolder(const LibreOfficeOptions& options)
{
    if (options.profileCache.isEmpty())
        return {};
    QFile version(QFileInfo(QFileInfo(options.launcher).canonicalFilePath()).absolutePath() +
                  QStringLiteral("/versionrc"));
    if (!version.open(QIODevice::ReadOnly))
        return {};
    const QByteArray key = QCryptographicHash::hash(version.readAll() + QByteArray(kRegistry), QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    if (!QDir().mkpath(options.profileCache))
        return {};
    // Only a folder of our own that nobody else can write is trusted.
    struct stat st;
    const QByteArray cache = QFile::encodeName(options.profileCache);
    if (::lstat(cache.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return {};
    ::chmod(cache.constData(), 0700);
    return options.profileCache + QStringLiteral("/profile-") + QString::fromLatin1(key);
}

// Position on the page and size of a shape, in 1/100 mm. Frames anchored in
// the text have no layout position until the document is formatted, but
// their orientation properties give the page position directly.
bool pagePosition(const Reference<css::drawing::XShape>& shape, css::awt::Point& at, css::awt::Size& size)
{
    try {
        size = shape->getSize();
        const Reference<css::beans::XPropertySet> props(shape, UNO_QUERY);
        sal_Int16 hOrient = -1, hRelation = -1, vOrient = -1, vRelation = -1;
        if (props.is() && (props->getPropertyValue(toOU(QStringLiteral("HoriOrient"))) >>= hOrient) &&
            (props->getPropertyValue(toOU(QStringLiteral("HoriOrientRelation"))) >>= hRelation) &&
            (props->getPropertyValue(toOU(QStringLiteral("VertOrient"))) >>= vOrient) &&
            (props->getPropertyValue(toOU(QStringLiteral("VertOrientRelation"))) >>= vRelation) &&
            hOrient == css::text::HoriOrientation::NONE && vOrient == css::text::VertOrientation::NONE &&
            hRelation == css::text::RelOrientation::PAGE_FRAME && vRelation == css::text::RelOrientation::PAGE_FRAME) {
            props->getPropertyValue(toOU(QStringLiteral("HoriOrientPosition"))) >>= at.X;
            props->getPropertyValue(toOU(QStringLiteral("VertOrientPosition"))) >>= at.Y;
            return true;
        }
    } catch (const css::uno::Exception&) {
    }
    try {
        at = shape->getPosition();
        return true;
    } catch (const css::uno::RuntimeException&) {
        return false;  // neither page-relative nor laid out
    }
}

// A killed office leaves its pipe sockets in /tmp; their names follow from
// our pipe name and from the profile URL (MD5 of its UTF-16 text, bytes in
// unpadded hex), so only this instance's sockets are removed.
void removeOfficeSockets(const QString& pipe, const QString& profileUrl)
{
    QCryptographicHash md5(QCryptographicHash::Md5);
    md5.addData(QByteArrayView(reinterpret_cast<const char*>(profileUrl.utf16()), profileUrl.size() * 2));
    QString hash;
    for (char byte : md5.result())
        hash += QString::number(uchar(byte), 16);
    const QString prefix = QStringLiteral("/tmp/OSL_PIPE_%1_").arg(::getuid());
    for (const QString& name : {prefix + pipe, prefix + QStringLiteral("SingleOfficeIPC_") + hash}) {
        const QByteArray path = QFile::encodeName(name);
        struct stat st;
        if (::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid())
            ::unlink(path.constData());
    }
}

class LoDocument;

// One office process and the connection to it, shared by the application
// object and its documents. Only the application object ends it.
class Session {
public:
    Session(Clipboard& clipboard, LibreOfficeOptions options) : clipboard(clipboard), options(std::move(options)) {}
    ~Session() { end(); }

    void start();
    void quit();
    // Kills and cleans up; never throws.
    void end() noexcept;
    void ensureAlive() const
    {
        if (!alive)
            throw Failure(kNotRunning);
    }

    // Runs one call into the office under the watchdog; `failure` starts the
    // description of any error.
    template <class F>
    auto call(const QString& failure, F&& body, int timeoutMs = 0) -> decltype(body())
    {
        ensureAlive();
        const int bound = timeoutMs > 0 ? timeoutMs : options.callTimeoutMs;
        // The guard shares the watchdog: a failed call may end the session inside.
        struct Arm {
            std::shared_ptr<Watchdog> dog;
            Arm(std::shared_ptr<Watchdog> d, int ms) : dog(std::move(d)) { dog->arm(ms); }
            ~Arm() { dog->disarm(); }
        } arm(watchdog, bound);
        try {
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
                checkAfterCall(failure, bound);
            } else {
                auto result = body();
                checkAfterCall(failure, bound);
                return result;
            }
        } catch (const css::lang::DisposedException&) {
            // The bridge throws this once the connection has dropped: nothing
            // more can be asked of that office, even while its launcher lingers.
            checkAfterCall(failure, bound);
            connectionLost(failure);
        } catch (const css::uno::Exception& e) {
            checkAfterCall(failure, bound);
            if (process && !process->officeRunning())
                connectionLost(failure);
            const QString message = fromOU(e.Message).trimmed();
            throw Failure(message.isEmpty() ? failure : QStringLiteral("%1 (%2)").arg(failure, message));
        }
    }

    Reference<css::frame::XDesktop2> desktop;
    Clipboard& clipboard;
    LibreOfficeOptions options;
    bool alive = false;
    bool displayAlerts = true;
    std::vector<std::weak_ptr<LoDocument>> documents;  // opened order; the last open one is active

private:
    void checkAfterCall(const QString& failure, int bound)
    {
        if (watchdog && watchdog->fired()) {
            end();
            throw Failure(QStringLiteral("The office engine did not answer within %1 seconds and was stopped (%2).")
                              .arg(QString::number(bound / 1000.0), failure));
        }
        if (process && !process->running()) {
            const QString how = process->exitDescription();
            end();
            throw Failure(QStringLiteral("%1: the office engine ended unexpectedly (%2).").arg(failure, how));
        }
    }
    [[noreturn]] void connectionLost(const QString& failure)
    {
        // While ending, the office may well drop the connection as it quits.
        if (!ending) {
            lost = true;
            end();
        }
        throw Failure(QStringLiteral("%1: the office engine ended unexpectedly (the connection to it was lost).").arg(failure));
    }
    void connect(const QString& pipe);
    void prepareProfile(const QString& profile);
    void seedCache(const QString& profile);

    std::unique_ptr<OfficeProcess> process;
    std::shared_ptr<Watchdog> watchdog;
    Reference<css::lang::XComponent> bridge;
    QString seed;
    bool seeded = false;
    bool ending = false;
    bool lost = false;  // the connection dropped: nothing to ask, nothing to wait for
    QString pipe;
    QString profileUrl;
};

void Session::prepareProfile(const QString& profile)
{
    seed = seedFolder(options);
    if (!seed.isEmpty() && QFileInfo::exists(seed + QStringLiteral("/user/registrymodifications.xcu"))) {
        if (copyTree(seed, profile)) {
            seeded = true;
            return;
        }
        QDir(profile).removeRecursively();
    }
    QDir().mkpath(profile + QStringLiteral("/user"));
    QFile registry(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (!registry.open(QIODevice::WriteOnly) || registry.write(kRegistry) < 0)
        throw Failure(QStringLiteral("The office engine could not be started: cannot write its profile"));
}

// After a clean end, the profile this office built becomes the seed for later ones.
void Session::seedCache(const QString& profile)
{
    if (seed.isEmpty() || seeded || QFileInfo::exists(seed))
        return;
    const QString temporary = seed + QStringLiteral(".tmp-%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    if (copyTree(profile, temporary) && ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(seed).constData()) == 0)
        return;
    QDir(temporary).removeRecursively();
}

void Session::start()
{
    const Reference<css::uno::XComponentContext> local = localContext();
    process = std::make_unique<OfficeProcess>();
    const QString folder = process->folder();
    const QString profile = folder + QStringLiteral("/profile");
    pipe = QStringLiteral("pelorin-%1-%2")
                             .arg(::getpid())
                             .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    QList<QPair<QByteArray, QByteArray>> environment;
    QDir().mkpath(folder + QStringLiteral("/tmp"));
    environment.append({"TMPDIR", QFile::encodeName(folder + QStringLiteral("/tmp"))});
    if (!options.fontConfig.isEmpty()) {
        const QString fonts = folder + QStringLiteral("/fonts.conf");
        QFile file(fonts);
        if (!file.open(QIODevice::WriteOnly) || file.write(options.fontConfig) != options.fontConfig.size())
            throw Failure(QStringLiteral("The office engine could not be started: cannot write its font settings"));
        environment.append({"FONTCONFIG_FILE", QFile::encodeName(fonts)});
    }
    prepareProfile(profile);
    profileUrl = QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded);
    const QStringList arguments{
        QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--nologo"),
        QStringLiteral("--norestore"), QStringLiteral("--nodefault"), QStringLiteral("--nolockcheck"),
        QStringLiteral("--nofirststartwizard"),
        QStringLiteral("-env:UserInstallation=") + profileUrl,
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe)};
    try {
        process->start(options.launcher, arguments, environment);
        watchdog = std::make_shared<Watchdog>(*process);
        connect(pipe);
        alive = true;
    } catch (...) {
        end();
        // A seed that could not bring an office up is not offered again.
        if (seeded)
            QDir(seed).removeRecursively();
        throw;
    }
}

void Session::connect(const QString& pipe)
{
    const Reference<css::uno::XComponentContext> local = localContext();
    QElapsedTimer clock;
    clock.start();
    const auto fail = [&](const QString& reason) {
        return Failure(QStringLiteral("The office engine could not be started: %1").arg(reason));
    };
    // One bound for the whole start, enforced by the watchdog as well, since a
    // connection to a stopped office would block instead of failing.
    watchdog->arm(options.startTimeoutMs);
    struct Disarm {
        Watchdog& dog;
        ~Disarm() { dog.disarm(); }
    } disarm{*watchdog};
    try {
        const Reference<css::connection::XConnector> connector = css::connection::Connector::create(local);
        Reference<css::connection::XConnection> connection;
        while (!connection.is()) {
            try {
                connection = connector->connect(toOU(QStringLiteral("pipe,name=") + pipe));
            } catch (const css::connection::NoConnectException&) {
                if (watchdog->fired() || clock.elapsed() > options.startTimeoutMs)
                    throw fail(QStringLiteral("it did not come up within %1 seconds").arg(options.startTimeoutMs / 1000.0));
                if (!process->running()) {
                    const QString log = process->logTail();
                    throw fail(process->exitDescription() + (log.isEmpty() ? QString() : QStringLiteral(": ") + log));
                }
                QThread::msleep(25);
            }
        }
        const Reference<css::bridge::XBridgeFactory2> factory = css::bridge::BridgeFactory::create(local);
        const Reference<css::bridge::XBridge> xbridge =
            factory->createBridge(rtl::OUString(), rtl::OUString::createFromAscii("urp"), connection, nullptr);
        bridge.set(xbridge, UNO_QUERY);
        const Reference<css::uno::XComponentContext> remote(
            xbridge->getInstance(rtl::OUString::createFromAscii("StarOffice.ComponentContext")), UNO_QUERY_THROW);
        desktop = css::frame::Desktop::create(remote);
    } catch (const css::uno::Exception& e) {
        if (watchdog->fired())
            throw fail(QStringLiteral("it did not answer within %1 seconds").arg(options.startTimeoutMs / 1000.0));
        throw fail(fromOU(e.Message));
    }
    if (watchdog->fired())
        throw fail(QStringLiteral("it did not answer within %1 seconds").arg(options.startTimeoutMs / 1000.0));
}

void Session::quit()
{
    ensureAlive();
    end();
}

void Session::end() noexcept
{
    // A failed call below ends the session too; the outer end finishes the work.
    if (ending)
        return;
    ending = true;
    const bool answering = alive && !lost && desktop.is() && watchdog && !watchdog->fired() && process && process->running();
    if (answering) {
        try {
            call(QStringLiteral("Word could not quit"), [&] { desktop->terminate(); },
                 std::min(options.callTimeoutMs, kTerminateBoundMs));
        } catch (...) {
            // The office may drop the connection before it answers; it is ended below either way.
        }
    }
    alive = false;
    desktop.clear();
    if (bridge.is()) {
        try {
            bridge->dispose();
        } catch (...) {
        }
        bridge.clear();
    }
    if (process) {
        const bool clean = !lost && (!watchdog || !watchdog->fired());
        process->stop(clean ? kQuitGraceMs : 0);
        removeOfficeSockets(pipe, profileUrl);
        if (watchdog)
            watchdog->shutdown();
        watchdog.reset();
        if (clean && !process->running()) {
            try {
                seedCache(process->folder() + QStringLiteral("/profile"));
            } catch (...) {
            }
        }
        process.reset();  // removes the private folder
    }
}

class LoDocument : public WordDocument {
public:
    LoDocument(std::shared_ptr<Session> session, Reference<css::lang::XComponent> component, QString path,
               bool readOnly, QVector<OfficeArtShape> shapes, QString shapesError)
        : mSession(std::move(session)), mComponent(std::move(component)), mPath(std::move(path)), mReadOnly(readOnly),
          mShapes(std::move(shapes)), mShapesError(std::move(shapesError))
    {
    }

    bool isOpen() const { return mComponent.is(); }

    void SelectShape(const QString& name) override
    {
        open();
        const OfficeArtShape* wanted = nullptr;
        for (const OfficeArtShape& s : mShapes)
            if (!wanted && s.name.compare(name, Qt::CaseInsensitive) == 0)
                wanted = &s;
        if (!wanted) {
            if (!mShapesError.isEmpty())
                throw Failure(mShapesError);
            throw Failure(QStringLiteral("The item with the specified name wasn't found."));
        }
        const OfficeArtShape target = *wanted;
        Reference<css::drawing::XShape> found = mSession->call(QStringLiteral("Word could not select the item %1").arg(name), [&] {
            const Reference<css::drawing::XDrawPageSupplier> supplier(mComponent, UNO_QUERY_THROW);
            const Reference<css::container::XIndexAccess> page(supplier->getDrawPage(), UNO_QUERY_THROW);
            Reference<css::drawing::XShape> best;
            double bestError = kMatchToleranceTwips;
            for (sal_Int32 i = 0; i < page->getCount(); ++i) {
                const Reference<css::drawing::XShape> shape(page->getByIndex(i), UNO_QUERY);
                if (!shape.is())
                    continue;
                css::awt::Point at;
                css::awt::Size size;
                if (!pagePosition(shape, at, size))
                    continue;
                const auto twips = [](sal_Int32 hmm) { return hmm * 72.0 / 127.0; };
                const double error = std::max({std::abs(twips(at.X) - target.left), std::abs(twips(at.Y) - target.top),
                                               std::abs(twips(at.X + size.Width) - target.right),
                                               std::abs(twips(at.Y + size.Height) - target.bottom)});
                if (error <= bestError) {
                    bestError = error;
                    best = shape;
                }
            }
            if (best.is()) {
                const Reference<css::frame::XModel> model(mComponent, UNO_QUERY_THROW);
                const Reference<css::view::XSelectionSupplier> selection(model->getCurrentController(), UNO_QUERY);
                if (selection.is())
                    selection->select(Any(best));
            }
            return best;
        });
        if (!found.is())
            throw Failure(QStringLiteral("The item with the specified name wasn't found on the page."));
        mSelection = found;
    }

    void TypeText(const QString& text) override
    {
        open();
        if (!mSelection.is())
            throw Failure(QStringLiteral("Word cannot type the text: nothing is selected."));
        // Word's paragraph mark: CR LF, a lone CR and a lone LF each make one break.
        QString paragraphs = text;
        paragraphs.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        paragraphs.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        mSession->call(QStringLiteral("Word could not type the text"), [&] {
            const Reference<css::text::XText> body(mSelection, UNO_QUERY);
            if (!body.is())
                throw Failure(QStringLiteral("Word cannot type the text: the selected item holds no text."));
            // Re-laying out the box after an insert costs time that grows much
            // faster than the text (over a minute for 64 kB); with the controllers
            // locked the insert is immediate, and nothing needs the layout before
            // the document is saved and closed. A picture unlocks them first.
            if (!mControllersLocked) {
                Reference<css::frame::XModel>(mComponent, UNO_QUERY_THROW)->lockControllers();
                mControllersLocked = true;
            }
            body->setString(toOU(paragraphs));
        });
    }

    void SaveAs(const QString& path) override
    {
        open();
        const QString failure = QStringLiteral("Word could not save the document as %1").arg(path);
        if (path.isEmpty() || !QFileInfo(QFileInfo(path).absolutePath()).isDir())
            throw Failure(failure + QStringLiteral(" (the folder does not exist)"));
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            throw Failure(failure + QStringLiteral(" (it is a folder)"));
        const rtl::OUString filter = rtl::OUString::createFromAscii("MS Word 97");
        storeReplacing(QFileInfo(path).absoluteFilePath(), filter, failure);
        // As in Word, the document now belongs to its new file and format.
        mPath = QFileInfo(path).absoluteFilePath();
        mFilter = filter;
        mReadOnly = false;
    }

    void Save()
    {
        open();
        const QString failure = QStringLiteral("Word could not save the document %1").arg(mPath);
        if (mReadOnly)
            throw Failure(failure + QStringLiteral(" (it was opened read-only)"));
        rtl::OUString filter = mFilter;
        if (filter.isEmpty()) {
            filter = rtl::OUString::createFromAscii("MS Word 97");
            mSession->call(failure, [&] {
                const Reference<css::frame::XModel> model(mComponent, UNO_QUERY_THROW);
                const Sequence<css::beans::PropertyValue> args = model->getArgs();
                for (sal_Int32 i = 0; i < args.getLength(); ++i)
                    if (args[i].Name == "FilterName")
                        args[i].Value >>= filter;
            });
        }
        storeReplacing(mPath, filter, failure);
    }

    void Close() override
    {
        open();
        mSession->call(QStringLiteral("Word could not close the document %1").arg(mPath), [&] {
            const Reference<css::util::XCloseable> closeable(mComponent, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            else
                mComponent->dispose();
        });
        mComponent.clear();
        mSelection.clear();
    }

    void CopyRangeAsPicture() override
    {
        open();
        rtl::Reference<MemoryOutput> output(new MemoryOutput);
        mSession->call(QStringLiteral("Word could not copy the document as a picture"), [&] {
            if (mControllersLocked) {
                mControllersLocked = false;
                Reference<css::frame::XModel>(mComponent, UNO_QUERY_THROW)->unlockControllers();
            }
            const Reference<css::frame::XStorable> storable(mComponent, UNO_QUERY_THROW);
            const Sequence<css::beans::PropertyValue> filterData =
                properties({property("PageRange", Any(rtl::OUString::createFromAscii("1")))});
            const Reference<css::task::XInteractionHandler> handler(new AbortingHandler);
            storable->storeToURL(rtl::OUString::createFromAscii("private:stream"),
                                 properties({property("FilterName", Any(rtl::OUString::createFromAscii("writer_pdf_Export"))),
                                             property("FilterData", Any(filterData)),
                                             property("InteractionHandler", Any(handler)),
                                             property("OutputStream", Any(Reference<css::io::XOutputStream>(output.get())))}));
        });
        const QByteArray pdf = output->data();
        std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
        if (!document || document->isLocked() || document->numPages() < 1)
            throw Failure(QStringLiteral("Word could not copy the document as a picture (no page was produced)."));
        document->setRenderHint(Poppler::Document::Antialiasing, true);
        document->setRenderHint(Poppler::Document::TextAntialiasing, true);
        document->setRenderHint(Poppler::Document::TextHinting, true);
        document->setPaperColor(Qt::white);
        const std::unique_ptr<Poppler::Page> page = document->page(0);
        QImage image = page ? page->renderToImage(kRenderDpi, kRenderDpi) : QImage();
        if (image.isNull())
            throw Failure(QStringLiteral("Word could not copy the document as a picture (the page could not be drawn)."));
        image = image.convertToFormat(QImage::Format_RGB32);
        image.setDotsPerMeterX(kPictureDotsPerMeter);
        image.setDotsPerMeterY(kPictureDotsPerMeter);
        mSession->clipboard.setImage(image);
    }

private:
    // The office writes a hidden file of a unique name beside the target,
    // which is moved over the target only once complete: a failed save leaves
    // no partial file, and a link at the target is replaced, never followed.
    // Storing a copy also works for a document the office holds read-only.
    void storeReplacing(const QString& target, const rtl::OUString& filter, const QString& failure)
    {
        const QString folder = QFileInfo(target).absolutePath();
        // A trial file proves the folder writable first: into a read-only folder
        // the office's Word export loops without end instead of failing. The
        // office must then create the file itself: writing over an existing
        // one, it reports no error when the disk fills up and leaves it cut off.
        QString temporary;
        for (int attempt = 0;; ++attempt) {
            temporary = folder + QStringLiteral("/.~pelorin-%1.tmp").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
            const QByteArray name = QFile::encodeName(temporary);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd >= 0) {
                ::close(fd);
                ::unlink(name.constData());
                break;
            }
            if (errno != EEXIST || attempt >= 8)
                throw Failure(failure + QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(strerror(errno))));
        }
        try {
            mSession->call(failure, [&] {
                const Reference<css::frame::XStorable> storable(mComponent, UNO_QUERY_THROW);
                const Reference<css::task::XInteractionHandler> handler(new AbortingHandler);
                storable->storeToURL(toOU(fileUrl(temporary)),
                                     properties({property("FilterName", Any(filter)), property("Overwrite", Any(true)),
                                                 property("InteractionHandler", Any(handler))}));
            });
            if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
                throw Failure(failure + QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(strerror(errno))));
        } catch (...) {
            ::unlink(QFile::encodeName(temporary).constData());
            throw;
        }
    }

    void open() const
    {
        mSession->ensureAlive();
        if (!mComponent.is())
            throw Failure(QStringLiteral("The document is closed."));
    }

    std::shared_ptr<Session> mSession;
    Reference<css::lang::XComponent> mComponent;
    QString mPath;
    rtl::OUString mFilter;  // set by SaveAs; else the format the document was opened in
    bool mReadOnly;
    QVector<OfficeArtShape> mShapes;
    QString mShapesError;
    Reference<css::drawing::XShape> mSelection;
    bool mControllersLocked = false;
};

class LoApplication : public WordApplication {
public:
    explicit LoApplication(std::shared_ptr<Session> session) : mSession(std::move(session)) {}
    ~LoApplication() override { mSession->end(); }

    std::shared_ptr<WordDocument> Open(const QString& path, bool readOnly) override
    {
        mSession->ensureAlive();
        const QString failure = QStringLiteral("Word could not open the document: %1").arg(path);
        const QFileInfo info(path);
        if (path.isEmpty() || !info.isFile())
            throw Failure(failure + QStringLiteral(" (the file does not exist)"));
        if (!info.isReadable())
            throw Failure(failure + QStringLiteral(" (the file cannot be read)"));

        // Shape names are read now so they belong to the content being loaded.
        QVector<OfficeArtShape> shapes;
        QString shapesError;
        try {
            shapes = readOfficeArtShapes(info.absoluteFilePath());
        } catch (const Failure& f) {
            shapesError = f.description();
        }

        const Reference<css::lang::XComponent> component = mSession->call(failure, [&] {
            const Reference<css::frame::XComponentLoader> loader(mSession->desktop, UNO_QUERY_THROW);
            const Reference<css::task::XInteractionHandler> handler(new AbortingHandler);
            return loader->loadComponentFromURL(
                toOU(fileUrl(path)), rtl::OUString::createFromAscii("_blank"), 0,
                properties({property("Hidden", Any(true)), property("ReadOnly", Any(readOnly)),
                            property("AsTemplate", Any(false)),
                            property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
                            property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
                            property("RepairPackage", Any(false)), property("InteractionHandler", Any(handler))}));
        });
        if (!component.is())
            throw Failure(failure);
        if (!Reference<css::text::XTextDocument>(component, UNO_QUERY).is()) {
            try {
                mSession->call(failure, [&] { Reference<css::util::XCloseable>(component, UNO_QUERY_THROW)->close(true); });
            } catch (const Failure&) {
            }
            throw Failure(failure + QStringLiteral(" (not a text document)"));
        }
        auto document = std::make_shared<LoDocument>(mSession, component, info.absoluteFilePath(), readOnly, shapes, shapesError);
        mSession->documents.push_back(document);
        return document;
    }

    void SetDisplayAlerts(bool value) override
    {
        mSession->ensureAlive();
        mSession->displayAlerts = value;
    }

    void CloseActiveDocument(short saveChanges) override
    {
        mSession->ensureAlive();
        auto& list = mSession->documents;
        std::shared_ptr<LoDocument> active;
        while (!list.empty() && !active) {
            active = list.back().lock();
            if (!active || !active->isOpen()) {
                active.reset();
                list.pop_back();
            }
        }
        if (!active)
            throw Failure(QStringLiteral("This command is not available because no document is open."));
        if (saveChanges != 0)
            active->Save();
        active->Close();
        list.pop_back();
    }

    void Quit() override { mSession->quit(); }

private:
    std::shared_ptr<Session> mSession;
};

}  // namespace

LibreOfficeOptions LibreOfficeOptions::resolved() const
{
    LibreOfficeOptions out = *this;
    if (!qEnvironmentVariableIsEmpty("PELORIN_SOFFICE"))
        out.launcher = qEnvironmentVariable("PELORIN_SOFFICE");
    out.startTimeoutMs = std::clamp(envInt("PELORIN_OFFICE_START_TIMEOUT_MS", out.startTimeoutMs), kMinTimeoutMs, kMaxTimeoutMs);
    out.callTimeoutMs = std::clamp(envInt("PELORIN_OFFICE_TIMEOUT_MS", out.callTimeoutMs), kMinTimeoutMs, kMaxTimeoutMs);
    if (qEnvironmentVariableIsSet("PELORIN_OFFICE_PROFILE_CACHE")) {
        const QString cache = qEnvironmentVariable("PELORIN_OFFICE_PROFILE_CACHE");
        out.profileCache = cache == QLatin1String("none") ? QString() : cache;
    }
    return out;
}

LibreOfficeOptions LibreOfficeOptions::forProgram()
{
    LibreOfficeOptions options;
    options.profileCache = defaultProfileCache();
    QFile fontConfig(QStringLiteral(":/fonts/pelorin-fonts.conf"));
    if (fontConfig.open(QIODevice::ReadOnly))
        options.fontConfig = fontConfig.readAll();
    return options;
}

QString LibreOfficeOptions::defaultProfileCache()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/pelorin-greeting-designer/office");
}

LibreOfficeWordFactory::LibreOfficeWordFactory(Clipboard& clipboard, LibreOfficeOptions options)
    : mClipboard(clipboard), mOptions(options.resolved())
{
}

std::unique_ptr<WordApplication> LibreOfficeWordFactory::CreateObject(const QString& progId)
{
    if (progId.compare(QStringLiteral("Word.Application"), Qt::CaseInsensitive) != 0)
        throw Failure(QStringLiteral("ActiveX component can't create object"));
    auto session = std::make_shared<Session>(mClipboard, mOptions);
    session->start();
    return std::make_unique<LoApplication>(std::move(session));
}
