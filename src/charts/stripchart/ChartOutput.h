#pragma once
// The chart as a picture: EMF, SVG, PDF or PNG at the control's size, drawn by
// the one paint routine, written to files atomically or offered on the clipboard.
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QMimeData;
class QPainter;

enum class ChartPictureFormat { Emf, Svg, Pdf, Png };

using ChartPaintRoutine = std::function<void(QPainter&)>;

// By the file's extension, in any case; raises std::runtime_error for any other.
ChartPictureFormat PictureFormatFor(const QString& fileName);

// The picture of a size pixels wide and high, one pixel being 1/96 inch.
QByteArray RenderChartPicture(QSize size, ChartPictureFormat format, const ChartPaintRoutine& paint);

// Writes through a temporary file in the target folder; raises std::runtime_error
// with the system's message when that fails, leaving the old file whole.
void WritePictureFile(const QString& fileName, const QByteArray& bytes);

// The MIME names the EMF and SVG pictures are offered under: the usual desktop
// names and LibreOffice's own, which it only takes spelt out in full.
QStringList EmfMimeTypes();
QStringList SvgMimeTypes();
// EMF, SVG and PNG of the same picture, for the clipboard or a drag.
QMimeData* ChartMimeData(QSize size, const ChartPaintRoutine& paint);
void PutChartOnClipboard(QSize size, const ChartPaintRoutine& paint);
