// The workspace's pole window.
#include "workspace/Workspace.h"

#include "record/ResultTexts.h"

namespace tellurim {

void Workspace::showPoles()
{
    if (m_busy)
        return;
    if (!m_engine.isLoaded()) {
        m_interaction.ask(Message{Icon::Exclamation, std::string(kAppName),
                                  std::string(validityText(-1, 0)), Buttons::Ok});
        return;
    }
    // Focus leaving the main window while the pole window is open is no edit.
    m_busy = true;
    PoleWindow window(*m_engine.model(), m_interaction, poleExport);
    window.start(PoleDate{record.IMONTH, record.IDAY, record.IYR, record.DDATE});
    m_interaction.runPoleDialog(window);
    m_busy = false;
}

}  // namespace tellurim
