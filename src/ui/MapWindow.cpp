#include "ui/MapWindow.h"

#include "record/Conversions.h"
#include "render/LatticeSampling.h"
#include "render/MapExport.h"
#include "render/MapOverlays.h"
#include "ui/MapCanvas.h"
#include "workspace/Workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace tellurim {

namespace {

constexpr int kStepsPerYear = 100;       // the slider's resolution: a hundredth of a year
constexpr int kFollowMilliseconds = 250; // how often the main window is looked at
constexpr int kFrameMilliseconds = 50;   // Play asks for a frame this often (at most 20 a second)
constexpr double kFramesPerSpan = 300.0; // Play crosses the model's span in this many frames

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The main window's location set to a place, in all its forms.
void moveLocation(Workspace& workspace, double latitude, double longitude)
{
    LocationRecord& record = workspace.record;
    record.IHEM_NS = latitude < 0.0 ? 1 : 0;
    record.DLAT = static_cast<float>(std::abs(latitude));
    const DegreesMinutesSeconds lat = decimalToDms(record.DLAT);
    record.ILATD = lat.degrees;
    record.ILATM = lat.minutes;
    record.XLATS = lat.seconds;
    record.JHEM_EW = longitude < 0.0 ? 0 : 1;
    record.DLON = static_cast<float>(std::abs(longitude));
    const DegreesMinutesSeconds lon = decimalToDms(record.DLON);
    record.ILOND = lon.degrees;
    record.ILONM = lon.minutes;
    record.XLONS = lon.seconds;
    workspace.recalculate();
    workspace.show();
}

QString placeText(double latitude, double longitude)
{
    return QStringLiteral("%1%2 %3%4")
        .arg(std::abs(latitude), 0, 'f', 2)
        .arg(latitude < 0.0 ? QLatin1Char('S') : QLatin1Char('N'))
        .arg(std::abs(longitude), 0, 'f', 2)
        .arg(longitude < 0.0 ? QLatin1Char('W') : QLatin1Char('E'));
}

}  // namespace

MapWindow::MapWindow(Workspace& workspace, QWidget* parent)
    : QWidget(parent, Qt::Window), m_workspace(workspace), m_renderer(workspace.engine().model())
{
    setObjectName(QStringLiteral("MapWindow"));
    setWindowTitle(QStringLiteral("Map - Tellurim"));
    setAccessibleName(QStringLiteral("Map window"));
    buildControls();
    m_follow = new QTimer(this);
    connect(m_follow, &QTimer::timeout, this, [this] { followMainWindow(); });
    m_follow->start(kFollowMilliseconds);
    m_player = new QTimer(this);
    m_player->setInterval(kFrameMilliseconds);
    connect(m_player, &QTimer::timeout, this, [this] { advanceFrame(); });
    resize(1300, 800);
    followMainWindow();
}

MapWindow::~MapWindow() = default;

void MapWindow::buildControls()
{
    m_canvas = new MapCanvas(m_renderer, this);
    m_element = new QComboBox(this);
    for (const ElementInfo& info : allElements()) {
        m_element->addItem(elementTitle(info.element), static_cast<int>(info.element));
    }
    m_projection = new QComboBox(this);
    for (const auto& [kind, text] : {std::pair{ProjectionKind::PlateCarree, "Plate carr\u00E9e"},
                                     std::pair{ProjectionKind::Mercator, "Mercator"},
                                     std::pair{ProjectionKind::NorthPolar, "North polar"},
                                     std::pair{ProjectionKind::SouthPolar, "South polar"}}) {
        m_projection->addItem(QString::fromUtf8(text), static_cast<int>(kind));
    }
    m_isolines = new QCheckBox(QStringLiteral("&Isolines"), this);
    m_isolines->setChecked(true);
    m_zones = new QCheckBox(QStringLiteral("&Zones"), this);
    m_date = new QSlider(Qt::Horizontal, this);
    m_dateText = new QLabel(this);
    m_play = new QPushButton(QStringLiteral("&Play"), this);
    m_export = new QPushButton(QStringLiteral("&Export..."), this);
    m_readout = new QLabel(this);
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const std::pair<QWidget*, const char*> names[] = {
        {m_element, "Element"}, {m_projection, "Projection"}, {m_isolines, "Isolines"}, {m_zones, "Zones"},
        {m_date, "Date"},       {m_dateText, "Map date"},     {m_play, "Play"},         {m_export, "Export"},
        {m_readout, "Value under the pointer"},
    };
    for (const auto& [widget, name] : names) {
        widget->setObjectName(QString::fromLatin1(name).remove(QLatin1Char(' ')));
        widget->setAccessibleName(QString::fromLatin1(name));
    }
    m_element->setToolTip(QStringLiteral("The element the map shows; those the model lacks are greyed out"));
    m_date->setToolTip(QStringLiteral("The date of the map, over the model's span"));
    m_play->setToolTip(QStringLiteral("Plays the field through the model's span"));
    m_export->setToolTip(QStringLiteral("Saves the current view as PNG, SVG or PDF"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_element);
    controls->addWidget(m_projection);
    controls->addWidget(m_isolines);
    controls->addWidget(m_zones);
    controls->addStretch();
    controls->addWidget(m_export);
    auto* time = new QHBoxLayout;
    time->addWidget(m_play);
    time->addWidget(m_date, 1);
    time->addWidget(m_dateText);
    auto* top = new QVBoxLayout(this);
    top->addLayout(controls);
    top->addWidget(m_canvas, 1);
    top->addLayout(time);
    top->addWidget(m_readout);

    connect(m_element, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(m_projection, &QComboBox::currentIndexChanged, this, [this] {
        m_canvas->setProjection(static_cast<ProjectionKind>(m_projection->currentData().toInt()));
    });
    connect(m_isolines, &QCheckBox::toggled, this, [this] { redraw(); });
    connect(m_zones, &QCheckBox::toggled, this, [this] { redraw(); });
    connect(m_date, &QSlider::valueChanged, this, [this] { redraw(); });
    connect(m_play, &QPushButton::clicked, this, [this] { togglePlay(); });
    connect(m_export, &QPushButton::clicked, this, [this] { exportPicture(); });
    m_canvas->onHover = [this](std::optional<LonLat> place) {
        if (place) {
            showHover(place->latitude, place->longitude);
        } else {
            m_readout->clear();
        }
    };
    m_canvas->onClick = [this](LonLat place) {
        moveLocation(m_workspace, place.latitude, place.longitude);
        followMainWindow();
    };
}

float MapWindow::mapDate() const
{
    return static_cast<float>(m_date->value()) / static_cast<float>(kStepsPerYear);
}

void MapWindow::setSliderDate(float date)
{
    const QSignalBlocker quiet(m_date);
    m_date->setValue(static_cast<int>(std::lround(static_cast<double>(date) * kStepsPerYear)));
}

void MapWindow::modelChanged()
{
    m_renderer.setModel(m_workspace.engine().model());
    const MapFieldSource& source = m_renderer.source();
    const QSignalBlocker quiet(m_date);
    m_date->setRange(static_cast<int>(std::lround(source.firstYear() * kStepsPerYear)),
                     static_cast<int>(std::lround(source.lastYear() * kStepsPerYear)));
    m_date->setSingleStep(kStepsPerYear / 12);
    m_date->setPageStep(kStepsPerYear);
    auto* items = qobject_cast<QStandardItemModel*>(m_element->model());
    for (int i = 0; i < m_element->count(); ++i) {
        const auto element = static_cast<FieldElement>(m_element->itemData(i).toInt());
        if (items != nullptr) {
            items->item(i)->setEnabled(source.provides(element));
        }
    }
    if (!source.provides(static_cast<FieldElement>(m_element->currentData().toInt()))) {
        const QSignalBlocker quietElement(m_element);
        m_element->setCurrentIndex(0);
    }
}

void MapWindow::followMainWindow()
{
    const LocationRecord& record = m_workspace.record;
    const void* tables = m_workspace.engine().model().get();
    const bool newModel = tables != m_followedTables || record.FILENAME != m_followedModel;
    const bool newDate = record.DDATE != m_followedDate;
    const bool newElevation = record.ALTM != m_followedElevation;
    const bool newPlace = static_cast<double>(signedLatitude(record)) != m_followedLatitude ||
                          static_cast<double>(signedLongitude(record)) != m_followedLongitude;
    if (!newModel && !newDate && !newElevation && !newPlace) {
        return;
    }
    m_followedTables = tables;
    m_followedModel = record.FILENAME;
    m_followedDate = record.DDATE;
    m_followedElevation = record.ALTM;
    m_followedLatitude = static_cast<double>(signedLatitude(record));
    m_followedLongitude = static_cast<double>(signedLongitude(record));
    if (newModel) {
        modelChanged();
    }
    if (newModel || newDate) {
        setSliderDate(record.DDATE);
    }
    redraw();
}

MapRequest MapWindow::currentRequest() const
{
    MapRequest request;
    request.element = static_cast<FieldElement>(m_element->currentData().toInt());
    request.date = mapDate();
    request.elevation = m_workspace.record.ALTM;
    request.isolines = m_isolines->isChecked();
    request.zones = m_zones->isChecked();
    request.location = LonLat{static_cast<double>(signedLongitude(m_workspace.record)),
                              static_cast<double>(signedLatitude(m_workspace.record))};
    request.scale = m_playScale;
    return request;
}

void MapWindow::redraw()
{
    m_dateText->setText(QString::number(static_cast<double>(mapDate()), 'f', 2));
    m_canvas->setRequest(currentRequest());
}

void MapWindow::togglePlay()
{
    if (m_player->isActive()) {
        m_player->stop();
        m_playScale.reset();
        m_play->setText(QStringLiteral("&Play"));
        redraw();
        return;
    }
    if (m_date->value() >= m_date->maximum()) {
        setSliderDate(static_cast<float>(m_date->minimum()) / kStepsPerYear);
    }
    // One scale for the whole run, so the colours mean the same in every frame.
    m_playScale = m_renderer.lastScale();
    m_play->setText(QStringLiteral("&Stop"));
    m_player->start();
}

void MapWindow::advanceFrame()
{
    const int step = std::max(1, static_cast<int>((m_date->maximum() - m_date->minimum()) / kFramesPerSpan));
    const int next = std::min(m_date->maximum(), m_date->value() + step);
    m_date->setValue(next);  // redraws
    if (next >= m_date->maximum()) {
        togglePlay();
    }
}

void MapWindow::showHover(double latitude, double longitude)
{
    const MapRequest& request = m_canvas->request();
    const double value =
        m_renderer.source().valueAt(request.element, latitude, longitude, request.elevation, request.date);
    m_readout->setText(QStringLiteral("%1   %2 = %3 %4")
                           .arg(placeText(latitude, longitude), qs(elementInfo(request.element).code))
                           .arg(value, 0, 'f', std::abs(value) >= 1000.0 ? 0 : 2)
                           .arg(qs(elementInfo(request.element).unit)));
}

void MapWindow::exportPicture()
{
    FileRequest request;
    request.mode = FileRequest::Mode::Save;
    request.title = "Export Map";
    request.filterDescription = "PNG image (*.png)";
    request.pattern = "*.png";
    request.defaultExtension = "png";
    request.initialName = "map.png";
    request.confirmOverwrite = true;
    request.moreFilters = {FileFilter{"SVG drawing (*.svg)", "*.svg"}, FileFilter{"PDF document (*.pdf)", "*.pdf"}};
    const auto path = m_workspace.interaction().chooseFile(request);
    if (!path) {
        return;
    }
    const auto format = mapFormatOf(*path);
    std::string problem;
    if (!format) {
        problem = "A map is saved as a .png, .svg or .pdf file:\n" + *path;
    } else if (const auto failure = writeMapFile(*path, m_canvas->layout(), *format)) {
        problem = failure->file ? standardReportText(failure->file->error) : failure->reason;
    }
    if (!problem.empty()) {
        m_workspace.interaction().ask(Message{Icon::Stop, std::string(kAppName), problem, Buttons::Ok});
    }
}

void showMapWindow(Workspace& workspace, QWidget* mainWindow)
{
    static QPointer<MapWindow> window;
    if (window.isNull() || window->parentWidget() != mainWindow) {
        window = new MapWindow(workspace, mainWindow);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

QPushButton* makeMapButton(Workspace& workspace, QWidget* mainWindow)
{
    // No mnemonic: M, A and P already open Make Grid, About and Print Location.
    auto* button = new QPushButton(QStringLiteral("Map"), mainWindow);
    button->setObjectName(QStringLiteral("Map"));
    button->setAccessibleName(QStringLiteral("Map"));
    button->setToolTip(QStringLiteral("Opens a map of the field of the model at the date"));
    button->setAccessibleDescription(button->toolTip());
    // As the other buttons: the field being edited is left first, no tab stop.
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, mainWindow,
                     [&workspace, mainWindow] { showMapWindow(workspace, mainWindow); });
    return button;
}

}  // namespace tellurim
