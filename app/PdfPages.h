// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// A PDF's first page as a picture, drawn by Poppler on white paper.

#include <QByteArray>
#include <QImage>

// At `dotsPerInch` of the page, with that resolution recorded in the
// picture. Throws Failure, starting the description with `failure`, when
// the PDF holds no page that can be drawn.
QImage RenderPdfPage(const QByteArray& pdf, double dotsPerInch, const QString& failure);
