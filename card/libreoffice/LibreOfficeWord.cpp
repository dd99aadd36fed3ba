// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// The automation calls on an office instance: the application object opens
// documents and quits, a document selects a shape by its Word name, types,
// saves, closes and draws its picture. How the instance runs, connects and
// ends is OfficeSession's; the UNO plumbing is UnoRuntime's.

#include "LibreOfficeWord.h"

#include "ErrorTrap.h"
#include "Main.h"
#include "OfficeArtShapes.h"
#include "OfficeFonts.h"
#include "OfficeGuard.h"
#include "OfficeSession.h"
#include "Platform.h"
#include "SpareOffice.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/HoriOrientation.hpp>
#include <com/sun/star/text/RelOrientation.hpp>
#include <com/sun/star/text/VertOrientation.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <rtl/ref.hxx>

#include <poppler-qt6.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace uno;

namespace {

// A PDF of one card page is a few hundred kB; anything beyond this is refused.
constexpr qsizetype kMaxPdfBytes = 256 * 1024 * 1024;
// The picture: the page at half its printed size, drawn with three times the pixels.
constexpr double kRenderDpi = 144.0;
constexpr int kPictureDotsPerMeter = 11339;  // 288 dpi
// Imported shape positions are rounded to 1/100 mm (0.57 twip) on each edge.
constexpr double kMatchToleranceTwips = 3.0;


// Position of a shape on the page, in 1/100 mm. Frames anchored in the text
// have no layout position until the document is formatted, but their
// orientation properties give the page position directly.
bool pagePosition(const Reference<css::drawing::XShape>& shape, css::awt::Point& at)
{
    try {
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

}  // namespace

class LoDocument : public WordDocument {
public:
    LoDocument(std::shared_ptr<OfficeSession> session, Reference<css::lang::XComponent> component, QString path,
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
            throw Failure(QCoreApplication::translate("LibreOfficeWord", "The item with the specified name wasn't found."));
        }
        const OfficeArtShape target = *wanted;
        const QString failure = QCoreApplication::translate("LibreOfficeWord", "Word could not select the item %1").arg(name);
        Reference<css::drawing::XShape> found = mSession->call(failure, [&] {
            // A text document has one draw page; the single-page supplier is deprecated.
            const Reference<css::drawing::XDrawPagesSupplier> supplier(mComponent, UNO_QUERY_THROW);
            const Reference<css::container::XIndexAccess> page(supplier->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
            Reference<css::drawing::XShape> best;
            double bestError = kMatchToleranceTwips;
            const auto twips = [](sal_Int32 hmm) { return hmm * 72.0 / 127.0; };
            const sal_Int32 shapes = page->getCount();
            for (sal_Int32 i = 0; i < shapes; ++i) {
                const Reference<css::drawing::XShape> shape(page->getByIndex(i), UNO_QUERY);
                if (!shape.is())
                    continue;
                css::awt::Size size;
                try {
                    size = shape->getSize();
                } catch (const css::uno::RuntimeException&) {
                    continue;
                }
                // Each question to the office is a round trip: a shape of another
                // size, whose edges cannot all be near the target's, is not asked
                // for its position.
                if (std::abs(twips(size.Width) - (target.right - target.left)) > 2 * kMatchToleranceTwips ||
                    std::abs(twips(size.Height) - (target.bottom - target.top)) > 2 * kMatchToleranceTwips)
                    continue;
                css::awt::Point at;
                if (!pagePosition(shape, at))
                    continue;
                const double error = std::max({std::abs(twips(at.X) - target.left), std::abs(twips(at.Y) - target.top),
                                               std::abs(twips(at.X + size.Width) - target.right),
                                               std::abs(twips(at.Y + size.Height) - target.bottom)});
                if (error <= bestError) {
                    bestError = error;
                    best = shape;
                }
            }
            // The shape becomes what TypeText types into. The office's own
            // view of the document is never shown, so it is not told: selecting
            // there lays the page out, which took longer than finding the shape.
            return best;
        });
        if (!found.is())
            throw Failure(QCoreApplication::translate("LibreOfficeWord",
                                                      "The item with the specified name wasn't found on the page."));
        mSelection = found;
    }

    void TypeText(const QString& text) override
    {
        open();
        if (!mSelection.is())
            throw Failure(QCoreApplication::translate("LibreOfficeWord",
                                                      "Word cannot type the text: nothing is selected."));
        // Word's paragraph mark: CR LF, a lone CR and a lone LF each make one break.
        QString paragraphs = text;
        paragraphs.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        paragraphs.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        mSession->call(QCoreApplication::translate("LibreOfficeWord", "Word could not type the text"), [&] {
            const Reference<css::text::XText> body(mSelection, UNO_QUERY);
            if (!body.is())
                throw Failure(QCoreApplication::translate("LibreOfficeWord",
                                                          "Word cannot type the text: the selected item holds no text."));
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
        const QString failure = QCoreApplication::translate("LibreOfficeWord", "Word could not save the document as %1")
            .arg(path);
        if (path.isEmpty() || !QFileInfo(QFileInfo(path).absolutePath()).isDir())
            throw Failure(failure + QStringLiteral(" (%1)").arg(QCoreApplication::translate("LibreOfficeWord",
                                                                                            "the folder does not exist")));
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            throw Failure(failure + QStringLiteral(" (%1)").arg(QCoreApplication::translate("LibreOfficeWord",
                                                                                            "it is a folder")));
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
        const QString failure = QCoreApplication::translate("LibreOfficeWord", "Word could not save the document %1")
            .arg(mPath);
        if (mReadOnly)
            throw Failure(failure + QStringLiteral(" (%1)").arg(QCoreApplication::translate("LibreOfficeWord",
                                                                                            "it was opened read-only")));
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
        mSession->call(QCoreApplication::translate("LibreOfficeWord", "Word could not close the document %1")
            .arg(mPath), [&] {
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
        mRenderedPdf.clear();
        const QByteArray pdf = exportPdf(QCoreApplication::translate("LibreOfficeWord",
                                                                     "Word could not copy the document as a picture"));
        std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
        if (!document || document->isLocked() || document->numPages() < 1)
            throw Failure(QCoreApplication::translate("LibreOfficeWord",
                                                      "Word could not copy the document as a picture (no page was produced)."));
        document->setRenderHint(Poppler::Document::Antialiasing, true);
        document->setRenderHint(Poppler::Document::TextAntialiasing, true);
        document->setRenderHint(Poppler::Document::TextHinting, true);
        document->setPaperColor(Qt::white);
        const std::unique_ptr<Poppler::Page> page = document->page(0);
        QImage image = page ? page->renderToImage(kRenderDpi, kRenderDpi) : QImage();
        if (image.isNull())
            throw Failure(QCoreApplication::translate("LibreOfficeWord",
                                                      "Word could not copy the document as a picture (the page could not be drawn)."));
        image = image.convertToFormat(QImage::Format_RGB32);
        image.setDotsPerMeterX(kPictureDotsPerMeter);
        image.setDotsPerMeterY(kPictureDotsPerMeter);
        mSession->clipboard.setImage(image);
        mRenderedPdf = pdf;
    }

    QByteArray RenderedPdf() const override { return mRenderedPdf; }

    QByteArray ExportAsPdf() override
    {
        const QString failure = QCoreApplication::translate("LibreOfficeWord", "Word could not export the document as PDF");
        const QByteArray pdf = exportPdf(failure);
        if (!pdf.startsWith("%PDF-"))
            throw Failure(failure + QStringLiteral(" (%1).").arg(QCoreApplication::translate("LibreOfficeWord", "no PDF was produced")));
        return pdf;
    }

private:
    // The first page as the office's PDF export writes it, into memory.
    QByteArray exportPdf(const QString& failure)
    {
        open();
        rtl::Reference<MemoryOutput> output(new MemoryOutput(kMaxPdfBytes));
        mSession->call(failure, [&] {
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
        return output->data();
    }

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
        // The office's own file, never the user's: an ending program does not
        // wait for it (a hung office would hold the end up), it only removes it.
        FileWriting writing(FileWriting::AtEnd::Remove);
        QString temporary;
        for (int attempt = 0;; ++attempt) {
            temporary = folder + QStringLiteral("/.~pelorin-%1.tmp").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
            const QByteArray name = QFile::encodeName(temporary);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd >= 0) {
                writing.setTemporary(name);
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
            throw Failure(QCoreApplication::translate("LibreOfficeWord", "The document is closed."));
    }

    std::shared_ptr<OfficeSession> mSession;
    Reference<css::lang::XComponent> mComponent;
    QString mPath;
    rtl::OUString mFilter;  // set by SaveAs; else the format the document was opened in
    bool mReadOnly;
    QVector<OfficeArtShape> mShapes;
    QString mShapesError;
    Reference<css::drawing::XShape> mSelection;
    bool mControllersLocked = false;
    QByteArray mRenderedPdf;  // what the picture on the clipboard was drawn from
};

class LoApplication : public WordApplication {
public:
    explicit LoApplication(std::shared_ptr<OfficeSession> session) : mSession(std::move(session)) {}
    ~LoApplication() override { mSession->end(); }

    std::shared_ptr<WordDocument> Open(const QString& path, bool readOnly) override
    {
        mSession->ensureAlive();
        const QString failure = QCoreApplication::translate("LibreOfficeWord", "Word could not open the document: %1")
            .arg(path);
        const QFileInfo info(path);
        if (path.isEmpty() || !info.isFile())
            throw Failure(failure + QStringLiteral(" (%1)").arg(QCoreApplication::translate("LibreOfficeWord",
                                                                                            "the file does not exist")));
        if (!info.isReadable())
            throw Failure(failure + QStringLiteral(" (%1)").arg(QCoreApplication::translate("LibreOfficeWord",
                                                                                            "the file cannot be read")));

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
            throw Failure(failure + QStringLiteral(" (%1)").arg(QCoreApplication::translate("LibreOfficeWord",
                                                                                            "not a text document")));
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
            throw Failure(QCoreApplication::translate("LibreOfficeWord",
                                                      "This command is not available because no document is open."));
        if (saveChanges != 0)
            active->Save();
        active->Close();
        list.pop_back();
    }

    void Quit() override { mSession->quit(); }

private:
    std::shared_ptr<OfficeSession> mSession;
};


LibreOfficeWordFactory::LibreOfficeWordFactory(Clipboard& clipboard, LibreOfficeOptions options)
    : mClipboard(clipboard), mOptions(options.resolved())
{
    mOptions.fontConfig = FontConfigForOffice(mOptions.fontConfig, InstalledOfficeVersion(mOptions.launcher));
    SweepOfficeLeftovers();
}

LibreOfficeWordFactory::~LibreOfficeWordFactory()
{
    mSpare.reset();
    // What its offices left on disk is gone when the factory is.
    OfficeProcess::WaitDisposed();
}

void LibreOfficeWordFactory::EndAllInstances() noexcept
{
    EndAllOfficeInstances();
}

QStringList LibreOfficeWordFactory::CharactersWithoutFont(const QString& text)
{
    return ::CharactersWithoutFont(text, mOptions.fontConfig);
}

std::unique_ptr<WordApplication> LibreOfficeWordFactory::CreateObject(const QString& progId)
{
    if (progId.compare(QStringLiteral("Word.Application"), Qt::CaseInsensitive) != 0)
        throw Failure(QCoreApplication::translate("LibreOfficeWord", "ActiveX component can't create object"));
    if (mSpare) {
        const std::unique_ptr<SpareOffice> spare = std::move(mSpare);
        return std::make_unique<LoApplication>(spare->take());
    }
    auto session = std::make_shared<OfficeSession>(mClipboard, mOptions);
    session->start();
    return std::make_unique<LoApplication>(std::move(session));
}

void LibreOfficeWordFactory::StartSpare(const QString& progId)
{
    if (mSpare || progId.compare(QStringLiteral("Word.Application"), Qt::CaseInsensitive) != 0)
        return;
    try {
        mSpare = std::make_unique<SpareOffice>(mClipboard, mOptions);
    } catch (...) {
        // No thread to start it on: CreateObject starts it then.
    }
}
