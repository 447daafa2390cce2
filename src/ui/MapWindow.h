#pragma once

#include "render/MapRenderer.h"

#include <QWidget>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace tellurim {

class MapCanvas;
class Workspace;

/// The Map window: one element of the main window's model over the world
/// or a pole, at a date of the model's span chosen with a slider or played
/// as an animation. It follows the main window's model, date, elevation and
/// location; a click on the map moves the main window's location there and
/// recalculates. Non-modal; export to PNG, SVG or PDF.
class MapWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MapWindow(Workspace& workspace, QWidget* parent = nullptr);
    ~MapWindow() override;

    MapCanvas& canvas() { return *m_canvas; }
    /// Checks the main window for a new model, date, elevation or location
    /// and redraws when one changed (a timer calls it while the window is shown).
    void followMainWindow();
    /// The date the map shows, decimal year.
    float mapDate() const;
    /// Plays the model's span from the slider's position; again stops.
    void togglePlay();
    /// Asks for a file and writes the current view to it.
    void exportPicture();
    /// The hover readout ("45.00N 120.00W  D = 14.2 deg").
    QLabel* readout() const { return m_readout; }

private:
    void buildControls();
    void modelChanged();
    void redraw();
    void setSliderDate(float date);
    void advanceFrame();
    void showHover(double latitude, double longitude);
    MapRequest currentRequest() const;

    Workspace& m_workspace;
    MapRenderer m_renderer;
    MapCanvas* m_canvas = nullptr;
    QComboBox* m_element = nullptr;
    QComboBox* m_projection = nullptr;
    QCheckBox* m_isolines = nullptr;
    QCheckBox* m_zones = nullptr;
    QSlider* m_date = nullptr;
    QLabel* m_dateText = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_export = nullptr;
    QLabel* m_readout = nullptr;
    QTimer* m_follow = nullptr;
    QTimer* m_player = nullptr;
    // What the map last took from the main window.
    std::string m_followedModel;
    const void* m_followedTables = nullptr;
    float m_followedDate = -1.0f;
    float m_followedElevation = -1.0f;
    double m_followedLatitude = 1000.0;
    double m_followedLongitude = 1000.0;
    std::optional<ColourScale> m_playScale;
};

/// Opens the Map window of the main window (one per main window), or brings
/// it to the front.
void showMapWindow(Workspace& workspace, QWidget* mainWindow);

/// The main window's "Map" button, which opens the Map window.
QPushButton* makeMapButton(Workspace& workspace, QWidget* mainWindow);

}  // namespace tellurim
