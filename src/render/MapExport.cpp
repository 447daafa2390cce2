#include "render/MapExport.h"

#include "render/MapLayout.h"
#include "render/MapPainter.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>

namespace tellurim {

namespace {

std::optional<std::string> encodePng(const MapLayout& layout)
{
    QImage image(layout.page, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return std::nullopt;
    }
    {
        QPainter painter(&image);
        paintMap(painter, layout);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

std::optional<std::string> encodeSvg(const MapLayout& layout)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(layout.page);
    generator.setViewBox(QRect(QPoint(0, 0), layout.page));
    generator.setTitle(layout.title.text);
    generator.setDescription(layout.description);
    {
        QPainter painter;
        if (!painter.begin(&generator)) {
            return std::nullopt;
        }
        paintMap(painter, layout);
    }
    return bytes.toStdString();
}

std::optional<std::string> encodePdf(const MapLayout& layout)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        // One picture pixel is one point, so the page has the picture's proportions.
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(layout.page), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(layout.title.text);
        writer.setCreator(QStringLiteral("Tellurim"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return std::nullopt;
        }
        paintMap(painter, layout);
    }
    return bytes.toStdString();
}

}  // namespace

std::optional<MapFormat> mapFormatOf(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "png") {
        return MapFormat::Png;
    }
    if (extension == "svg") {
        return MapFormat::Svg;
    }
    if (extension == "pdf") {
        return MapFormat::Pdf;
    }
    return std::nullopt;
}

std::optional<std::string> encodeMap(const MapLayout& layout, MapFormat format)
{
    switch (format) {
    case MapFormat::Png:
        return encodePng(layout);
    case MapFormat::Svg:
        return encodeSvg(layout);
    case MapFormat::Pdf:
        return encodePdf(layout);
    }
    return std::nullopt;
}

std::optional<MapWriteFailure> writeMapFile(const std::string& path, const MapLayout& layout, MapFormat format)
{
    const std::optional<std::string> bytes = encodeMap(layout, format);
    if (!bytes || bytes->empty()) {
        return MapWriteFailure{std::nullopt, "the picture could not be made (not enough memory?)"};
    }
    if (auto failure = replaceFileContents(path, *bytes)) {
        return MapWriteFailure{std::move(failure), {}};
    }
    return std::nullopt;
}

}  // namespace tellurim
