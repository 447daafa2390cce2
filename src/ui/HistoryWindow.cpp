#include "ui/HistoryWindow.h"

#include "files/ReplaceFile.h"
#include "record/NumberText.h"
#include "workspace/Workspace.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace tellurim {

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr HistoryElement kElements[] = {HistoryElement::Declination, HistoryElement::Inclination,
                                        HistoryElement::TotalField, HistoryElement::HorizontalField};

/// The plot's picture size for the files, in pixels (PNG, SVG) or points.
constexpr QSize kPictureSize{1200, 700};

QLineSeries* line(QChart& chart, const QString& name, std::initializer_list<QPointF> points)
{
    auto* series = new QLineSeries(&chart);
    series->setName(name);
    for (const QPointF& point : points)
        series->append(point);
    return series;
}

/// A band over a segment of the span, from the bottom to the top of the plot.
void addBand(QChart& chart, const HistorySegment& segment, qreal low, qreal high, int index)
{
    auto* upper = line(chart, {}, {{segment.from, high}, {segment.to, high}});
    auto* lower = line(chart, {}, {{segment.from, low}, {segment.to, low}});
    auto* band = new QAreaSeries(upper, lower);
    band->setName(qs(segment.name) + QStringLiteral(" %1-%2").arg(segment.from, 0, 'f', 0).arg(segment.to, 0, 'f', 0));
    // Hatching for the blends and two tints for the models, so a grey print
    // still tells them apart.
    const QColor tint = segment.blend ? QColor(230, 150, 40, 90)
                                      : (index % 2 == 0 ? QColor(120, 160, 220, 45) : QColor(120, 200, 140, 45));
    band->setBrush(QBrush(tint, segment.blend ? Qt::BDiagPattern : Qt::SolidPattern));
    band->setPen(Qt::NoPen);
    chart.addSeries(band);
}

}  // namespace

HistoryWindow::HistoryWindow(Workspace& workspace, QWidget* parent) : QDialog(parent), m_workspace(workspace)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Field History"));
    setModal(false);
    buildLayout();
    m_workspace.resultsChanged = [this] {
        if (isVisible())
            refresh();
    };
    resize(900, 560);
}

HistoryWindow::~HistoryWindow()
{
    m_workspace.resultsChanged = nullptr;
}

QChart* HistoryWindow::chart() const
{
    return m_view->chart();
}

HistoryElement HistoryWindow::element() const
{
    return kElements[std::clamp(m_element->currentIndex(), 0, 3)];
}

void HistoryWindow::buildLayout()
{
    m_title = new QLabel(this);
    m_element = new QComboBox(this);
    m_element->setObjectName(QStringLiteral("element"));
    m_element->setAccessibleName(QStringLiteral("Element"));
    m_element->setToolTip(QStringLiteral("The field element plotted against the year"));
    for (const HistoryElement element : kElements)
        m_element->addItem(qs(historyElementName(element)));
    connect(m_element, &QComboBox::currentIndexChanged, this, [this] { redraw(); });

    m_view = new QChartView(new QChart, this);
    m_view->setObjectName(QStringLiteral("chart"));
    m_view->setAccessibleName(QStringLiteral("Field history plot"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(600, 360);

    m_pointed = new QLabel(QStringLiteral("Point at the curve to read a date and its value."), this);
    m_pointed->setObjectName(QStringLiteral("pointed"));
    m_pointed->setAccessibleName(QStringLiteral("Date and value pointed at"));

    const auto makeButton = [this](const QString& text, const char* name, const QString& tip) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        button->setToolTip(tip);
        button->setAutoDefault(false);
        return button;
    };
    m_useDate = makeButton(QStringLiteral("&Use this date"), "useDate",
                           QStringLiteral("Sets the main window's date to the date pointed at"));
    m_useDate->setEnabled(false);
    auto* exportPlotButton = makeButton(QStringLiteral("Export &Plot..."), "exportPlot",
                                        QStringLiteral("Saves the plot as a PNG, SVG or PDF file"));
    auto* exportCsvButton = makeButton(QStringLiteral("Export &CSV..."), "exportCsv",
                                       QStringLiteral("Saves the values at every date as a CSV file"));
    auto* closeButton = makeButton(QStringLiteral("Close"), "close", QStringLiteral("Closes this window"));
    connect(m_useDate, &QPushButton::clicked, this, [this] { useDate(); });
    connect(exportPlotButton, &QPushButton::clicked, this, [this] { exportPlot(); });
    connect(exportCsvButton, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

    auto* top = new QHBoxLayout;
    auto* elementLabel = new QLabel(QStringLiteral("&Element:"), this);
    elementLabel->setBuddy(m_element);
    top->addWidget(elementLabel);
    top->addWidget(m_element);
    top->addSpacing(16);
    top->addWidget(m_title, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pointed, 1);
    for (QPushButton* button : {m_useDate, exportPlotButton, exportCsvButton, closeButton})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
}

void HistoryWindow::refresh()
{
    const std::shared_ptr<const MagneticModel>& model = m_workspace.engine().model();
    const LocationRecord& record = m_workspace.record;
    if (!model) {
        m_model.reset();
        m_history.reset();
    } else if (model != m_model || !m_history || m_history->elevation != record.ALTM
               || m_history->latitude != signedLatitude(record) || m_history->longitude != signedLongitude(record)) {
        m_model = model;
        m_history = fieldHistory(*model, record);
    }
    redraw();
}

void HistoryWindow::redraw()
{
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (!m_history || m_history->years.empty()) {
        chart->setTitle(QStringLiteral("There is no current model"));
        m_title->clear();
        m_view->setChart(chart);
        return;
    }
    const FieldHistory& history = *m_history;
    const HistoryElement shown = element();
    const QString unit = qs(historyElementUnit(shown));
    m_title->setText(QStringLiteral("%1 at %2, %3, %4 m   (%5)")
                         .arg(qs(historyElementName(shown)), qs(formatSingle(history.latitude)),
                              qs(formatSingle(history.longitude)), qs(formatSingle(history.elevation)),
                              qs(history.modelName)));

    auto* curve = new QLineSeries(chart);
    curve->setName(qs(historyElementName(shown)));
    qreal low = std::numeric_limits<qreal>::max();
    qreal high = std::numeric_limits<qreal>::lowest();
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(history.years.size()));
    for (std::size_t i = 0; i < history.years.size(); ++i) {
        const qreal value = historyValue(history.results[i], shown);
        points.append({history.years[i], value});
        low = std::min(low, value);
        high = std::max(high, value);
    }
    curve->replace(points);
    const qreal margin = std::max<qreal>((high - low) * 0.05, shown == HistoryElement::Declination ? 0.5 : 5.0);
    low -= margin;
    high += margin;

    int models = 0;  // models alternate their tint; blends are hatched
    for (const HistorySegment& segment : history.segments)
        addBand(*chart, segment, low, high, segment.blend ? 0 : models++);
    chart->addSeries(curve);
    QPen curvePen(QColor(20, 60, 140));
    curvePen.setWidthF(2.0);
    curve->setPen(curvePen);
    const auto date = static_cast<qreal>(m_workspace.record.DDATE);
    if (date >= history.from && date <= history.to) {
        auto* mark = line(*chart, QStringLiteral("Date %1").arg(date, 0, 'f', 2), {{date, low}, {date, high}});
        mark->setPen(QPen(QColor(200, 30, 30), 1.5, Qt::DashLine));
        chart->addSeries(mark);
    }

    auto* years = new QValueAxis;
    years->setTitleText(QStringLiteral("Year"));
    years->setRange(history.from, history.to);
    years->setLabelFormat(QStringLiteral("%.0f"));
    auto* values = new QValueAxis;
    values->setTitleText(qs(historyElementName(shown)) + QStringLiteral(" (") + unit + QStringLiteral(")"));
    values->setRange(low, high);
    chart->addAxis(years, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(years);
        series->attachAxis(values);
    }
    connect(curve, &QLineSeries::hovered, this, [this](const QPointF& point, bool state) {
        if (state)
            pickYear(static_cast<float>(point.x()));
    });
    connect(curve, &QLineSeries::clicked, this, [this](const QPointF& point) { pickYear(static_cast<float>(point.x())); });
    m_view->setChart(chart);  // the view deletes the chart it showed before
}

void HistoryWindow::pickYear(float year)
{
    if (!m_history || m_history->years.empty())
        return;
    const std::vector<float>& years = m_history->years;
    // The computed date nearest to the one pointed at.
    const auto after = std::lower_bound(years.begin(), years.end(), year,
                                        [&](float a, float b) { return years.front() <= years.back() ? a < b : a > b; });
    std::size_t at = static_cast<std::size_t>(after - years.begin());
    if (at == years.size() || (at > 0 && std::abs(years[at - 1] - year) < std::abs(years[at] - year)))
        at = at == 0 ? 0 : at - 1;
    m_picked = years[at];
    const HistoryElement shown = element();
    m_pointed->setText(QStringLiteral("%1: %2 %3")
                           .arg(qs(formatSingle(years[at])), qs(formatSingle(historyValue(m_history->results[at], shown))),
                                qs(historyElementUnit(shown))));
    m_useDate->setEnabled(true);
}

void HistoryWindow::useDate()
{
    if (!m_picked)
        return;
    if (!m_workspace.useDate(*m_picked))
        m_workspace.interaction().ask(Message{Icon::Information, std::string(kAppName),
                                              "The main window takes dates from 1000 to 3000; " + formatSingle(*m_picked)
                                                  + " lies outside them.",
                                              Buttons::Ok});
}

std::optional<std::string> HistoryWindow::writePlot(const std::string& path)
{
    const QString suffix = QString::fromStdString(path).section(QLatin1Char('.'), -1).toLower();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QRect area(QPoint(0, 0), kPictureSize);
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(kPictureSize);
        svg.setViewBox(area);
        svg.setTitle(windowTitle());
        QPainter painter(&svg);
        m_view->render(&painter, area);
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(&buffer);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(windowTitle());
        QPainter painter(&pdf);
        m_view->render(&painter, painter.viewport());
    } else if (suffix == QLatin1String("png")) {
        QImage image(kPictureSize, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        m_view->render(&painter, area);
        painter.end();
        image.save(&buffer, "PNG");
    } else {
        return "the name must end in .png, .svg or .pdf";
    }
    buffer.close();
    if (std::optional<ReplaceFailure> failure =
            replaceFileContents(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        return fileErrorMessage(failure->error).text;
    return std::nullopt;
}

void HistoryWindow::exportPlot()
{
    const FileRequest request{.mode = FileRequest::Mode::Save,
                              .title = "Export History Plot",
                              .filterDescription = "PNG image (*.png)",
                              .pattern = "*.png",
                              .defaultExtension = "png",
                              .initialName = "history.png",
                              .confirmOverwrite = true,
                              .moreFilters = {{"SVG drawing (*.svg)", "*.svg"}, {"PDF document (*.pdf)", "*.pdf"}}};
    if (const std::optional<std::string> path = m_workspace.interaction().chooseFile(request))
        if (const std::optional<std::string> failure = writePlot(*path))
            reportFailure(*failure);
}

void HistoryWindow::exportCsv()
{
    if (!m_history)
        return;
    const FileRequest request{.mode = FileRequest::Mode::Save,
                              .title = "Export History as CSV",
                              .filterDescription = "CSV files (*.csv)",
                              .pattern = "*.csv",
                              .defaultExtension = "csv",
                              .initialName = "history.csv",
                              .confirmOverwrite = true};
    if (const std::optional<std::string> path = m_workspace.interaction().chooseFile(request))
        if (const std::optional<FileError> error = writeHistoryCsv(*path, *m_history))
            reportFailure(fileErrorMessage(*error).text);
}

void HistoryWindow::reportFailure(const std::string& text)
{
    m_workspace.interaction().ask(Message{Icon::Stop, std::string(kAppName), text, Buttons::Ok});
}

HistoryWindow* showHistoryWindow(Workspace& workspace, QWidget* mainWindow)
{
    auto* window = mainWindow->findChild<HistoryWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window == nullptr)
        window = new HistoryWindow(workspace, mainWindow);
    window->refresh();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace tellurim
