// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Names of the floating shapes of a Word 97-2003 binary file (.doc/.dot).
// The office's binary Word import drops shape names, so the names are read
// from the file itself and matched to the imported shapes by rectangle.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

struct OfficeArtShape {
    QString name;          // OfficeArt property 0x0380; empty when the shape has none
    uint32_t shapeId = 0;  // OfficeArt shape id (FSPA spid)
    // FSPA rectangle in twips. The office writes page-anchored shapes with
    // the page as origin (and FSPA's own anchor bits left at 0).
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The shapes anchored in the main text, in the file's order. Throws Failure
// when the file cannot be read or its structures are damaged; a document
// without floating shapes gives an empty list.
QVector<OfficeArtShape> readOfficeArtShapes(const QString& path);

// The same from a whole file held in memory.
QVector<OfficeArtShape> readOfficeArtShapesFromData(const QByteArray& file);

// The same from the WordDocument stream and both table streams (either
// table may be empty). Separate so damaged streams can be tested directly.
QVector<OfficeArtShape> parseOfficeArtShapes(const QByteArray& wordDocument, const QByteArray& table0,
                                             const QByteArray& table1);
