// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "PdfPages.h"

#include "ErrorTrap.h"

#include <QCoreApplication>

#include <cmath>
#include <memory>
#include <poppler-qt6.h>

QImage RenderPdfPage(const QByteArray& pdf, double dotsPerInch, const QString& failure)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document || document->isLocked() || document->numPages() < 1)
        throw Failure(failure + QStringLiteral(" (%1).").arg(QCoreApplication::translate("PdfPages", "no page was produced")));
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
    document->setRenderHint(Poppler::Document::TextHinting, true);
    document->setPaperColor(Qt::white);
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    QImage image = page ? page->renderToImage(dotsPerInch, dotsPerInch) : QImage();
    if (image.isNull())
        throw Failure(failure + QStringLiteral(" (%1).").arg(QCoreApplication::translate("PdfPages", "the page could not be drawn")));
    image = image.convertToFormat(QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}
