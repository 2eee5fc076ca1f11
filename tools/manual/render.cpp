// kelvara-manual SOURCE_FOLDER IMAGE_FOLDER OUTPUT.pdf [VERSION] [--letter] [--cover PICTURE]: the
// user manual as a PDF. The chapters are the Markdown files of SOURCE_FOLDER in
// name order; each starts a page. A title page and a table of contents with
// the page numbers come first (the title page with the cover picture, when
// given), every page after them carries its number and its chapter's title.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cmath>
#include <cstdio>

namespace {
// Layout in 1/96 inch, so point sizes mean what they say on the page.
constexpr int kDpi = 96;
constexpr qreal kMargin = 0.8 * kDpi;  // about 2 cm
const QString kBodyFamily = QStringLiteral("Liberation Sans");

struct Heading {
    int level;
    QString text;
    int page;  // 0-based page of the body
};

void Fail(const QString& text) { std::fprintf(stderr, "kelvara-manual: %s\n", qPrintable(text)); }

QString ReadChapters(const QString& folder, QStringList& names) {
    QString markdown;
    const QDir dir(folder);
    names = dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            Fail(QStringLiteral("cannot read %1").arg(file.fileName()));
            return {};
        }
        markdown += QString::fromUtf8(file.readAll()) + QStringLiteral("\n\n");
    }
    return markdown;
}

// Every picture the text names, from the image folder, no wider than the text.
bool AddImages(QTextDocument& doc, const QString& markdown, const QString& imageFolder, qreal maxWidth) {
    static const QRegularExpression image(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
    bool ok = true;
    for (auto match = image.globalMatch(markdown); match.hasNext();) {
        const QString name = match.next().captured(1);
        QImage picture(QDir(imageFolder).filePath(QFileInfo(name).fileName()));
        if (picture.isNull()) {
            Fail(QStringLiteral("picture %1 is missing from %2").arg(name, imageFolder));
            ok = false;
            continue;
        }
        if (picture.width() > maxWidth)
            picture = picture.scaledToWidth(static_cast<int>(maxWidth), Qt::SmoothTransformation);
        doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    }
    return ok;
}

void StyleHeadings(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0) continue;
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 0 : 14);
        format.setBottomMargin(level == 1 ? 16 : 6);
        if (level == 1 && block.blockNumber() > 0)
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat chars;
        chars.setFontFamilies({kBodyFamily});
        chars.setFontPointSize(level == 1 ? 22 : level == 2 ? 14 : 11.5);
        chars.setFontWeight(QFont::Bold);
        chars.setForeground(QColor(0x1f, 0x3a, 0x68));
        cursor.mergeCharFormat(chars);
    }
}

void StyleTablesAndCode(QTextDocument& doc) {
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorder(0.75);
        format.setBorderBrush(QColor(150, 150, 150));
        format.setCellPadding(4);
        format.setCellSpacing(0);
        format.setTopMargin(4);
        format.setBottomMargin(8);
        table->setFormat(format);
    }
    // Typewriter type a little smaller than the text around it, as it runs wider.
    QTextCharFormat code;
    code.setFontFamilies({QStringLiteral("Liberation Mono")});
    code.setFontPointSize(9);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        if (block.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) {
            QTextBlockFormat format = block.blockFormat();
            format.setBackground(QColor(242, 242, 242));
            format.setLeftMargin(12);
            cursor.setBlockFormat(format);
            cursor.select(QTextCursor::BlockUnderCursor);
            cursor.mergeCharFormat(code);
            continue;
        }
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (!fragment.fragment().charFormat().fontFixedPitch()) continue;
            cursor.setPosition(fragment.fragment().position());
            cursor.setPosition(fragment.fragment().position() + fragment.fragment().length(),
                               QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(code);
        }
    }
}

// A heading in the last lines of a page moves to the next one with its text:
// one at a time, each move laying out everything after it again.
void KeepHeadingsWithText(QTextDocument& doc, const QSizeF& body) {
    constexpr qreal kRoomBelowHeading = 80;
    for (bool moved = true; moved;) {
        moved = false;
        for (QTextBlock block = doc.begin(); block.isValid() && !moved; block = block.next()) {
            const QTextBlockFormat format = block.blockFormat();
            if (format.headingLevel() < 2 || format.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore)
                continue;
            const qreal top = doc.documentLayout()->blockBoundingRect(block).top();
            if (body.height() - std::fmod(top, body.height()) >= kRoomBelowHeading) continue;
            QTextBlockFormat breaking = format;
            breaking.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(breaking);
            doc.setPageSize(QSizeF());
            doc.setPageSize(body);
            moved = true;
        }
    }
}

std::vector<Heading> Headings(QTextDocument& doc, qreal pageHeight) {
    std::vector<Heading> headings;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2) continue;
        const qreal top = doc.documentLayout()->blockBoundingRect(block).top();
        headings.push_back({level, block.text().trimmed(), static_cast<int>(top / pageHeight)});
    }
    return headings;
}

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

// The title page and the contents, as one document of their own.
QString FrontMatterHtml(const std::vector<Heading>& headings, const QString& version, bool cover) {
    QString html =
        QStringLiteral(
            "<div align='center'><p style='font-size:40pt'>&nbsp;</p>%2"
            "<p style='font-size:34pt; font-weight:bold; color:#1f3a68'>Kelvara</p>"
            "<p style='font-size:16pt'>Classroom temperature datalogging with the DS1921 "
            "Thermochron iButton</p>"
            "<p style='font-size:14pt; margin-top:40px'>User manual</p>"
            "<p style='font-size:11pt; margin-top:12px'>Version %1</p></div>")
            .arg(Escaped(version),
                 cover ? QStringLiteral("<p><img src='cover' width='160' height='160'></p>") : QString());
    html += QStringLiteral(
        "<h1 style='page-break-before:always; font-size:22pt; color:#1f3a68'>Contents</h1>"
        "<table width='100%' cellspacing='0' cellpadding='2'>");
    for (const Heading& heading : headings) {
        const bool chapter = heading.level == 1;
        html += QStringLiteral("<tr><td style='%1'>%2</td><td align='right' style='%1'>%3</td></tr>")
                    .arg(chapter ? QStringLiteral("font-weight:bold; padding-top:8px")
                                 : QStringLiteral("padding-left:18px"),
                         Escaped(heading.text))
                    .arg(heading.page + 1);
    }
    return html + QStringLiteral("</table>");
}

void DrawPage(QPainter& painter, QTextDocument& doc, int page, const QSizeF& body) {
    painter.save();
    painter.translate(kMargin, kMargin - page * body.height());
    // The first pixel row of what begins the next page must not show at this one's foot.
    const QRectF area(0, page * body.height(), body.width(), body.height() - 1);
    painter.setClipRect(area);
    doc.drawContents(&painter, area);
    painter.restore();
}

void DrawFooter(QPainter& painter, const QSizeF& paper, const QString& left, const QString& right) {
    QFont small(kBodyFamily);
    small.setPointSizeF(8.5);
    painter.setFont(small);
    painter.setPen(QColor(90, 90, 90));
    const qreal y = paper.height() - kMargin * 0.65;
    painter.drawLine(QPointF(kMargin, y - 16), QPointF(paper.width() - kMargin, y - 16));
    const QRectF line(kMargin, y - 12, paper.width() - 2 * kMargin, 16);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, right);
}
}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool letter = args.removeAll(QStringLiteral("--letter")) > 0;
    QImage cover;
    if (const auto at = args.indexOf(QStringLiteral("--cover")); at >= 0 && at + 1 < args.size()) {
        cover.load(args[at + 1]);
        if (cover.isNull()) {
            Fail(QStringLiteral("the cover picture %1 cannot be read").arg(args[at + 1]));
            return 1;
        }
        args.remove(at, 2);
    }
    if (args.size() < 3) {
        Fail(
            QStringLiteral("usage: kelvara-manual SOURCE_FOLDER IMAGE_FOLDER OUTPUT.pdf [VERSION] [--letter] "
                           "[--cover PICTURE]"));
        return 2;
    }
    const QString version = args.size() > 3 ? args[3] : QString();

    const QPageSize pageSize(letter ? QPageSize::Letter : QPageSize::A4);
    const QSizeF paper = pageSize.sizePixels(kDpi);
    const QSizeF body(paper.width() - 2 * kMargin, paper.height() - 2.3 * kMargin);

    QStringList chapters;
    const QString markdown = ReadChapters(args[0], chapters);
    if (chapters.isEmpty()) {
        Fail(QStringLiteral("no chapters (*.md) in %1").arg(args[0]));
        return 1;
    }
    QFont bodyFont(kBodyFamily);
    bodyFont.setPointSizeF(10.5);
    QTextDocument doc;
    doc.setDefaultFont(bodyFont);
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown);
    // After the text: setting it empties the document's resources.
    if (!AddImages(doc, markdown, args[1], body.width())) return 1;
    StyleHeadings(doc);
    StyleTablesAndCode(doc);
    doc.setPageSize(body);
    KeepHeadingsWithText(doc, body);
    const std::vector<Heading> headings = Headings(doc, body.height());

    QTextDocument front;
    front.setDefaultFont(bodyFont);
    front.setDocumentMargin(0);
    front.setHtml(FrontMatterHtml(headings, version, !cover.isNull()));
    if (!cover.isNull())
        front.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("cover")), cover);
    front.setPageSize(body);

    // Written under a temporary name, so a failed run leaves no manual that looks whole.
    QPdfWriter writer(args[2] + QStringLiteral(".part"));
    writer.setResolution(kDpi);
    writer.setPageSize(pageSize);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Kelvara user manual"));
    writer.setCreator(QStringLiteral("kelvara-manual"));
    QPainter painter(&writer);
    for (int page = 0; page < front.pageCount(); ++page) {
        if (page > 0) writer.newPage();
        DrawPage(painter, front, page, body);
    }
    for (int page = 0; page < doc.pageCount(); ++page) {
        writer.newPage();
        DrawPage(painter, doc, page, body);
        QString chapter;
        for (const Heading& heading : headings)
            if (heading.level == 1 && heading.page <= page) chapter = heading.text;
        DrawFooter(painter, paper, chapter, QString::number(page + 1));
    }
    painter.end();
    QFile::remove(args[2]);
    if (!QFile::rename(args[2] + QStringLiteral(".part"), args[2])) {
        Fail(QStringLiteral("cannot write %1").arg(args[2]));
        return 1;
    }
    return 0;
}
