#include "support/FakeView.h"

#include "workspace/Workspace.h"

namespace tellurim {

FakeView::FakeView(Workspace& workspace) : m_workspace(workspace)
{
    m_workspace.attachView(this);
}

FakeView::~FakeView()
{
    if (m_workspace.view() == this)
        m_workspace.attachView(nullptr);
}

std::string FakeView::text(Field field) const
{
    return m_text[static_cast<std::size_t>(field)];
}

void FakeView::setText(Field field, const std::string& text)
{
    const auto i = static_cast<std::size_t>(field);
    ++m_writes[i];
    if (m_text[i] == text)
        return;
    m_text[i] = text;
    m_workspace.textChanged(field);
}

int FakeView::selectedIndex(Field field) const
{
    return m_index[static_cast<std::size_t>(field)];
}

void FakeView::setSelectedIndex(Field field, int index)
{
    m_index[static_cast<std::size_t>(field)] = index;
}

void FakeView::focusAndSelect(Field field)
{
    m_focus = field;
    ++m_focusReturns;
}

void FakeView::type(Field field, const std::string& text)
{
    const auto i = static_cast<std::size_t>(field);
    if (m_text[i] == text)
        return;
    m_text[i] = text;
    m_workspace.textChanged(field);
}

}  // namespace tellurim
