// The Edit menu: Cut, Copy and Paste of whole items through the document's clipboard, which
// holds at most one item. The system clipboard is not involved.
#include "frmmain.h"

// The clipboard takes the item as the fields show it: what was typed into them since the item
// was last stored goes with the copy, and is not lost when the item is cut or when another
// item is pasted over the fields.

void frmMain::mnuEditCopy_Click() {
    if (m_doc->current() < 0)
        return;
    commitFields();
    m_doc->copyItem(m_doc->current());
    RefreshControls();
}

void frmMain::mnuEditCut_Click() {
    if (m_doc->current() < 0)
        return;
    commitFields();
    m_doc->cutItem(m_doc->current());
    RefreshControls();
}

void frmMain::mnuEditPaste_Click() {
    if (!m_doc->hasClip())
        return;
    commitFields();
    m_doc->pasteItem();
    RefreshControls();
}
