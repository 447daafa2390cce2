#pragma once

#include "workspace/ModelCatalogue.h"

#include <QComboBox>

#include <functional>
#include <optional>
#include <vector>

namespace tellurim {

/// The drop-down beside the model in use: the shipped models by their names
/// and spans and the files used before. The list is gathered when it opens
/// (reading every file takes a moment, so not at start); picking an entry
/// hands its path on. Closed, it shows the model in use.
class ModelChooser final : public QComboBox {
    Q_OBJECT
public:
    using Gather = std::function<std::vector<ModelChoice>()>;
    using Choose = std::function<void(const std::string& path)>;

    ModelChooser(Gather gather, Choose choose, QWidget* parent = nullptr);

    /// Shows the model in use (nothing: no model is loaded).
    void showCurrent(const std::optional<ModelChoice>& current);
    void showPopup() override;
    void hidePopup() override;

private:
    void fill(const std::vector<ModelChoice>& choices);

    Gather m_gather;
    Choose m_choose;
    std::optional<ModelChoice> m_current;
    bool m_open = false;  ///< the list is open, or closing with a pick
};

}  // namespace tellurim
