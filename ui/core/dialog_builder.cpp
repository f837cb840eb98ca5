#include "ui/core/dialog_builder.h"

#include <cwchar>

#include "ui/control/shadow.h"
#include "ui/core/control.h"
#include "ui/core/control_factory.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/core/skin_values.h"
#include "ui/layout/container.h"

namespace ZQUI {

namespace {

using PluginCreateControl = CControlUI* (*)(const wchar_t* className);

bool NameIs(const wchar_t* name, const wchar_t* expected) {
  return name != nullptr && _wcsicmp(name, expected) == 0;
}

bool IsResourceElement(const wchar_t* name) {
  return NameIs(name, L"Image") || NameIs(name, L"Font") || NameIs(name, L"Default") ||
         NameIs(name, L"Style") || NameIs(name, L"Import");
}

// A SIZE scaled with the manager's DPI, for the Window attributes given at 96 DPI.
SIZE ScaledSize(CPaintManagerUI* manager, const wchar_t* value) {
  SIZE size = ParseSkinSize(value);
  return manager->GetDPIObj()->Scale(size);
}

bool InShadowRange(int value) { return value >= -35 && value <= 35; }

}  // namespace

CDialogBuilder::CDialogBuilder() { m_xml.SetPreserveWhitespace(true); }

CDialogBuilder::~CDialogBuilder() { m_xml.Release(); }

CMarkup* CDialogBuilder::GetMarkup() { return &m_xml; }

void CDialogBuilder::GetLastErrorMessage(wchar_t* message, SIZE_T size) const {
  m_xml.GetLastErrorMessage(message, size);
}

void CDialogBuilder::GetLastErrorLocation(wchar_t* source, SIZE_T size) const {
  m_xml.GetLastErrorLocation(source, size);
}

void CDialogBuilder::SetInstance(HINSTANCE instance) { m_instance = instance; }

CControlUI* CDialogBuilder::Create(STRINGorID xml, const wchar_t* type,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  if (xml.IsId()) {
    HINSTANCE module = m_instance;
    if (module == nullptr) module = CPaintManagerUI::GetResourceDll();
    if (module == nullptr) module = CPaintManagerUI::GetInstance();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(xml.GetId()), type);
    if (resource == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr) return nullptr;
    DWORD size = ::SizeofResource(module, resource);
    auto* bytes = static_cast<BYTE*>(::LockResource(loaded));
    if (bytes == nullptr || size == 0) return nullptr;
    if (!m_xml.LoadFromMem(bytes, size, XmlEncoding::Utf8)) return nullptr;
    m_pCallback = callback;
    if (type == nullptr || IS_INTRESOURCE(type)) {
      m_pstrtype = type;
    } else {
      m_sType = type;
      m_pstrtype = m_sType.GetData();
    }
  } else {
    const wchar_t* text = xml.m_lpstr;
    if (text == nullptr) return nullptr;
    if (*text != L'<') {
      const wchar_t* mapped = CResourceManager::GetInstance()->GetXmlPath(text);
      if (mapped != nullptr) text = mapped;
    }
    // The alias lives in the resource manager's table; copy it before loading anything.
    CDuiString source(text);
    bool loaded = source.GetAt(0) == L'<' ? m_xml.Load(source)
                                         : m_xml.LoadFromFile(source, XmlEncoding::Utf8);
    if (!loaded) return nullptr;
  }
  return Create(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  m_pCallback = callback;
  if (m_pIncludeBudget == &m_nIncludeBudget) m_nIncludeBudget = kMaxIncludedDocuments;
  CMarkupNode root = m_xml.GetRoot();
  if (!root.IsValid()) return nullptr;
  if (manager != nullptr) {
    ParseResources(root, manager);
    if (NameIs(root.GetName(), L"Window") && manager->GetPaintWindow() != nullptr) {
      ApplyWindowAttributes(root, manager);
    }
  }
  return _Parse(&root, parent, manager);
}

void CDialogBuilder::ParseResources(CMarkupNode& root, CPaintManagerUI* manager) {
  for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const wchar_t* element = node.GetName();
    int count = node.GetAttributeCount();
    if (NameIs(element, L"Image")) {
      const wchar_t* name = nullptr;
      const wchar_t* restype = nullptr;
      DWORD mask = 0;
      bool shared = false;
      for (int i = 0; i < count; ++i) {
        const wchar_t* attr = node.GetAttributeName(i);
        const wchar_t* value = node.GetAttributeValue(i);
        if (NameIs(attr, L"name")) {
          name = value;
        } else if (NameIs(attr, L"restype")) {
          restype = value;
        } else if (NameIs(attr, L"mask")) {
          mask = ParseSkinColor(value, false);
        } else if (NameIs(attr, L"shared")) {
          shared = ParseSkinBool(value);
        }
      }
      // The shared flag selects the shared table; it does not ask for GDI+ decoding.
      if (name != nullptr && *name != L'\0') {
        manager->AddImage(name, restype, mask, false, false, shared, nullptr);
      }
    } else if (NameIs(element, L"Font")) {
      int id = -1;
      const wchar_t* face = nullptr;
      int size = 12;
      bool bold = false, underline = false, italic = false, strikeout = false;
      bool isDefault = false, shared = false;
      for (int i = 0; i < count; ++i) {
        const wchar_t* attr = node.GetAttributeName(i);
        const wchar_t* value = node.GetAttributeValue(i);
        if (NameIs(attr, L"id")) {
          id = ParseSkinInt(value);
        } else if (NameIs(attr, L"name")) {
          face = value;
        } else if (NameIs(attr, L"size")) {
          size = ParseSkinInt(value);
        } else if (NameIs(attr, L"bold")) {
          bold = ParseSkinBool(value);
        } else if (NameIs(attr, L"underline")) {
          underline = ParseSkinBool(value);
        } else if (NameIs(attr, L"italic")) {
          italic = ParseSkinBool(value);
        } else if (NameIs(attr, L"strikeout")) {
          strikeout = ParseSkinBool(value);
        } else if (NameIs(attr, L"default")) {
          isDefault = ParseSkinBool(value);
        } else if (NameIs(attr, L"shared")) {
          shared = ParseSkinBool(value);
        }
      }
      if (id >= 0) {
        manager->AddFont(id, face, size, bold, underline, italic, strikeout, shared);
        if (isDefault) {
          manager->SetDefaultFont(face, size, bold, underline, italic, strikeout, shared);
        }
      }
    } else if (NameIs(element, L"Default") || NameIs(element, L"Style")) {
      const wchar_t* name = nullptr;
      const wchar_t* value = nullptr;
      bool shared = false;
      for (int i = 0; i < count; ++i) {
        const wchar_t* attr = node.GetAttributeName(i);
        if (NameIs(attr, L"name")) {
          name = node.GetAttributeValue(i);
        } else if (NameIs(attr, L"value")) {
          value = node.GetAttributeValue(i);
        } else if (NameIs(attr, L"shared")) {
          shared = ParseSkinBool(node.GetAttributeValue(i));
        }
      }
      if (name == nullptr || *name == L'\0') continue;
      if (value == nullptr) value = L"";
      if (NameIs(element, L"Default")) {
        manager->AddDefaultAttributeList(name, value, shared);
      } else {
        manager->AddStyle(name, value, shared);
      }
    } else if (NameIs(element, L"Import")) {
      const wchar_t* fontFile = nullptr;
      for (int i = 0; i < count; ++i) {
        if (NameIs(node.GetAttributeName(i), L"fontfile")) fontFile = node.GetAttributeValue(i);
      }
      if (fontFile != nullptr) manager->AddFontArray(fontFile);
    }
  }
}

void CDialogBuilder::ApplyWindowAttributes(CMarkupNode& root, CPaintManagerUI* manager) {
  CShadowUI* shadow = manager->GetShadow();
  int count = root.GetAttributeCount();
  for (int i = 0; i < count; ++i) {
    const wchar_t* name = root.GetAttributeName(i);
    const wchar_t* value = root.GetAttributeValue(i);
    if (name == nullptr || value == nullptr) continue;
    if (NameIs(name, L"size")) {
      SIZE size = ScaledSize(manager, value);
      manager->SetInitSize(size.cx, size.cy);
    } else if (NameIs(name, L"sizebox")) {
      RECT rc = ParseSkinRect(value);
      manager->SetSizeBox(rc);
    } else if (NameIs(name, L"caption")) {
      RECT rc = ParseSkinRect(value);
      manager->SetCaptionRect(rc);
    } else if (NameIs(name, L"roundcorner")) {
      SIZE size = ParseSkinSize(value);
      manager->SetRoundCorner(size.cx, size.cy);
    } else if (NameIs(name, L"mininfo")) {
      SIZE size = ParseSkinSize(value);
      manager->SetMinInfo(size.cx, size.cy);
    } else if (NameIs(name, L"maxinfo")) {
      SIZE size = ParseSkinSize(value);
      manager->SetMaxInfo(size.cx, size.cy);
    } else if (NameIs(name, L"showdirty")) {
      manager->SetShowUpdateRect(ParseSkinBool(value));
    } else if (NameIs(name, L"opacity") || NameIs(name, L"alpha")) {
      manager->SetOpacity(static_cast<BYTE>(ParseSkinInt(value) & 0xFF));
    } else if (wcscmp(name, L"layeredopacity") == 0) {
      manager->SetLayeredOpacity(static_cast<BYTE>(ParseSkinInt(value) & 0xFF));
    } else if (wcscmp(name, L"layered") == 0 || wcscmp(name, L"bktrans") == 0) {
      manager->SetLayered(ParseSkinBool(value));
    } else if (wcscmp(name, L"layeredimage") == 0) {
      manager->SetLayered(true);
      manager->SetLayeredImage(value);
    } else if (wcscmp(name, L"noactivate") == 0) {
      manager->SetNoActivate(ParseSkinBool(value));
    } else if (NameIs(name, L"disabledfontcolor")) {
      manager->SetDefaultDisabledColor(ParseSkinColor(value, false));
    } else if (NameIs(name, L"defaultfontcolor")) {
      manager->SetDefaultFontColor(ParseSkinColor(value, false));
    } else if (NameIs(name, L"linkfontcolor")) {
      manager->SetDefaultLinkFontColor(ParseSkinColor(value, false));
    } else if (NameIs(name, L"linkhoverfontcolor")) {
      manager->SetDefaultLinkHoverFontColor(ParseSkinColor(value, false));
    } else if (NameIs(name, L"selectedcolor")) {
      manager->SetDefaultSelectedBkColor(ParseSkinColor(value, false));
    } else if (NameIs(name, L"shadowsize")) {
      int size = ParseSkinInt(value);
      if (shadow != nullptr && InShadowRange(size)) shadow->SetSize(size);
    } else if (NameIs(name, L"shadowsharpness")) {
      int sharpness = ParseSkinInt(value);
      if (shadow != nullptr && sharpness >= 0 && sharpness <= 35) {
        shadow->SetSharpness(static_cast<unsigned>(sharpness));
      }
    } else if (NameIs(name, L"shadowdarkness")) {
      int darkness = ParseSkinInt(value);
      if (shadow != nullptr && darkness >= 0 && darkness <= 255) {
        shadow->SetDarkness(static_cast<unsigned>(darkness));
      }
    } else if (NameIs(name, L"shadowposition")) {
      SIZE pos = ParseSkinSize(value);
      if (shadow != nullptr && InShadowRange(pos.cx) && InShadowRange(pos.cy)) {
        shadow->SetPosition(pos.cx, pos.cy);
      }
    } else if (NameIs(name, L"shadowcolor")) {
      if (shadow != nullptr) shadow->SetColor(ParseSkinColor(value, false));
    } else if (NameIs(name, L"shadowcorner")) {
      RECT rc = ParseSkinRect(value);
      if (shadow != nullptr && rc.left >= 0 && rc.top >= 0 && rc.right >= 0 && rc.bottom >= 0) {
        shadow->SetShadowCorner(rc);
      }
    } else if (NameIs(name, L"shadowimage")) {
      if (shadow != nullptr) shadow->SetImage(value);
    } else if (NameIs(name, L"showshadow")) {
      if (shadow != nullptr) shadow->ShowShadow(ParseSkinBool(value));
    } else if (NameIs(name, L"gdiplustext")) {
      manager->SetUseGdiplusText(ParseSkinBool(value));
    } else if (NameIs(name, L"textrenderinghint")) {
      manager->SetGdiplusTextRenderingHint(ParseSkinInt(value));
    } else if (NameIs(name, L"tooltiphovertime")) {
      manager->SetHoverTime(ParseSkinInt(value));
    }
  }
}

CControlUI* CDialogBuilder::BuildInclude(CMarkupNode& node, CControlUI* parent,
                                         CPaintManagerUI* manager) {
  int count = 1;
  CDuiString source;
  int attributes = node.GetAttributeCount();
  for (int i = 0; i < attributes; ++i) {
    const wchar_t* attr = node.GetAttributeName(i);
    const wchar_t* value = node.GetAttributeValue(i);
    if (NameIs(attr, L"count")) {
      count = ParseSkinInt(value);
    } else if (NameIs(attr, L"source")) {
      source.Assign(value, static_cast<int>(wcsnlen(value, kMaxIncludeSource)));
    }
  }
  // A document that includes itself, directly or around a loop, would recurse until the stack
  // runs out; nesting stops at a fixed depth instead.
  if (m_nIncludeDepth + 1 > kMaxIncludeDepth) return nullptr;
  for (int i = 0; i < count && *m_pIncludeBudget > 0; ++i) {
    --*m_pIncludeBudget;
    CDialogBuilder builder;
    builder.m_nIncludeDepth = m_nIncludeDepth + 1;
    builder.m_pIncludeBudget = m_pIncludeBudget;
    builder.m_instance = m_instance;
    if (m_pstrtype != nullptr) {
      builder.Create(STRINGorID(static_cast<unsigned>(ParseSkinInt(source))), m_pstrtype,
                     m_pCallback, manager, parent);
    } else {
      builder.Create(source.GetData(), nullptr, m_pCallback, manager, parent);
    }
  }
  return nullptr;
}

CControlUI* CDialogBuilder::CreateByName(const wchar_t* elementName) {
  CDuiString className(L"C");
  className += elementName;
  className += L"UI";
  CControlUI* control = CControlFactory::GetInstance()->CreateControl(className);
  if (control != nullptr) return control;
  CStdPtrArray* plugins = CPaintManagerUI::GetPlugins();
  for (int i = 0; plugins != nullptr && i < plugins->GetSize(); ++i) {
    auto create = reinterpret_cast<PluginCreateControl>(plugins->GetAt(i));
    if (create == nullptr) continue;
    control = create(elementName);
    if (control != nullptr) return control;
  }
  if (m_pCallback != nullptr) return m_pCallback->CreateControl(elementName);
  return nullptr;
}

CControlUI* CDialogBuilder::_Parse(CMarkupNode* root, CControlUI* parent,
                                   CPaintManagerUI* manager) {
  IContainerUI* container = nullptr;
  CControlUI* first = nullptr;
  for (CMarkupNode node = root->GetChild(); node.IsValid(); node = node.GetSibling()) {
    const wchar_t* element = node.GetName();
    if (IsResourceElement(element)) continue;
    if (NameIs(element, L"Include")) {
      if (node.HasAttributes()) BuildInclude(node, parent, manager);
      continue;
    }
    CControlUI* control = CreateByName(element);
    if (control == nullptr) continue;

    if (node.HasChildren()) _Parse(&node, control, manager);

    if (parent != nullptr) {
      if (container == nullptr) {
        container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
      }
      if (container == nullptr) {
        // The parent cannot take children: the subtree built for it is not kept.
        delete control;
        return nullptr;
      }
      if (!container->Add(control)) {
        delete control;
        continue;
      }
    }

    // The parent link made by Add is kept (a null parent here would cut a top-level control off
    // the caller's parent).
    if (manager != nullptr) {
      control->SetManager(manager, control->GetParent(), false);
      const wchar_t* defaults = manager->GetDefaultAttributeList(element);
      if (defaults != nullptr) control->ApplyAttributeList(defaults);
    }
    int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
      control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    }
    if (manager != nullptr) {
      CPaintManagerUI* live = parent != nullptr ? parent->GetManager() : nullptr;
      if (live != nullptr) {
        // Built into a tree that is already attached (Add initialised it): stay in that tree and
        // register the names that the attributes gave.
        control->SetManager(live, control->GetParent(), false);
        control->FindControl(CPaintManagerUI::__FindControlFromNameHash, live, FindAll);
      } else {
        control->SetManager(nullptr, control->GetParent(), false);
      }
    }
    if (first == nullptr) first = control;
  }
  return first;
}

}  // namespace ZQUI
