// UI Automation elements of another program, read through CUIAutomation.
//
// Only calls that Wine 10 answers are used (wine-notes.md): navigation through one tree
// walker over the true condition (Wine has no raw view walker), Name and ControlType through
// their own properties, and every other property through GetCurrentPropertyValueEx, since
// GetCurrentPropertyValue and the other get_Current* properties are not implemented there.
#include "capture/uia_element_win.h"

#include <windows.h>

#include "win/codepage_win.h"
#include "win/com.h"
#include "win/uia_client.h"

struct Win32UiaTree::Session {
    ComPtr<IUIAutomation> automation;
    ComPtr<IUIAutomationTreeWalker> walker;
    unsigned long calls = 0;

    // Counts the call and turns a failure (element gone, program not answering) into the
    // exception the rules expect.
    void Check(HRESULT hr) {
        ++calls;
        if (FAILED(hr)) throw UiaUnavailable();
    }
};

namespace {

using Session = Win32UiaTree::Session;

// A VARIANT cleared on every way out.
struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

std::string FromBstr(BSTR text) {
    return text ? WideToAnsiOmitting(std::wstring(text, SysStringLen(text))) : std::string();
}

// The elements of a one-dimensional SAFEARRAY of type T, or none when the value is of
// another type (a property the element does not support comes back empty or as the
// "not supported" object).
template <typename T>
std::vector<T> ArrayOf(const VARIANT& v, VARTYPE type) {
    std::vector<T> out;
    if (v.vt != (VT_ARRAY | type) || !v.parray || SafeArrayGetDim(v.parray) != 1) return out;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(v.parray, 1, &lower);
    SafeArrayGetUBound(v.parray, 1, &upper);
    T* data = nullptr;
    if (upper < lower || FAILED(SafeArrayAccessData(v.parray, reinterpret_cast<void**>(&data)))) return out;
    out.assign(data, data + (upper - lower + 1));
    SafeArrayUnaccessData(v.parray);
    return out;
}

class Win32UiaElement : public IUiaElement {
public:
    Win32UiaElement(std::shared_ptr<Session> session, ComPtr<IUIAutomationElement> element)
        : session_(std::move(session)), element_(std::move(element)) {}

    std::unique_ptr<IUiaElement> FirstChild() override { return Walk(&IUIAutomationTreeWalker::GetFirstChildElement); }
    std::unique_ptr<IUiaElement> LastChild() override { return Walk(&IUIAutomationTreeWalker::GetLastChildElement); }
    std::unique_ptr<IUiaElement> NextSibling() override { return Walk(&IUIAutomationTreeWalker::GetNextSiblingElement); }
    std::unique_ptr<IUiaElement> PreviousSibling() override {
        return Walk(&IUIAutomationTreeWalker::GetPreviousSiblingElement);
    }

    int ControlType() override {
        int type = 0;
        session_->Check(element_->get_CurrentControlType(&type));
        return type;
    }

    std::string Name() override {
        BSTR name = nullptr;
        const HRESULT hr = element_->get_CurrentName(&name);
        const std::string text = SUCCEEDED(hr) ? FromBstr(name) : std::string();
        SysFreeString(name);
        session_->Check(hr);
        return text;
    }

    std::string ClassName() override {
        Variant value;
        Property(kUiaClassNamePropertyId, value);
        return value.v.vt == VT_BSTR ? FromBstr(value.v.bstrVal) : std::string();
    }

    std::vector<int> RuntimeId() override {
        Variant value;
        Property(kUiaRuntimeIdPropertyId, value);
        // Every live element has one. Wine 10 answers a removed element's properties with
        // their defaults instead of UIA_E_ELEMENTNOTAVAILABLE, and its runtime id is empty.
        std::vector<int> id = ArrayOf<int>(value.v, VT_I4);
        if (id.empty()) throw UiaUnavailable();
        return id;
    }

    UiaBounds BoundingRectangle() override {
        Variant value;
        Property(kUiaBoundingRectanglePropertyId, value);
        const std::vector<double> r = ArrayOf<double>(value.v, VT_R8);
        UiaBounds rect;
        if (r.size() == 4) rect = UiaBounds{r[0], r[1], r[2], r[3]};
        return rect;
    }

private:
    using Step = HRESULT (STDMETHODCALLTYPE IUIAutomationTreeWalker::*)(IUIAutomationElement*, IUIAutomationElement**);

    // "No such element" is S_OK with nothing: not a failure.
    std::unique_ptr<IUiaElement> Walk(Step step) {
        ComPtr<IUIAutomationElement> next;
        session_->Check((session_->walker.Get()->*step)(element_.Get(), next.GetAddressOf()));
        if (!next) return nullptr;
        return std::make_unique<Win32UiaElement>(session_, std::move(next));
    }

    void Property(int id, Variant& value) {
        session_->Check(element_->GetCurrentPropertyValueEx(id, FALSE, &value.v));
    }

    std::shared_ptr<Session> session_;
    ComPtr<IUIAutomationElement> element_;
};

}  // namespace

std::unique_ptr<Win32UiaTree> Win32UiaTree::Create() {
    auto session = std::make_shared<Session>();
    // Where UI Automation is missing the class is not registered: that is the quiet answer.
    if (FAILED(CoCreateInstance(kClsidCUIAutomation, nullptr, CLSCTX_INPROC_SERVER, kIidIUIAutomation,
                                reinterpret_cast<void**>(session->automation.GetAddressOf()))))
        return nullptr;
    ComPtr<IUIAutomationCondition> everything;
    if (FAILED(session->automation->CreateTrueCondition(everything.GetAddressOf())) || !everything ||
        FAILED(session->automation->CreateTreeWalker(everything.Get(), session->walker.GetAddressOf())) ||
        !session->walker)
        return nullptr;
    session->calls = 3;
    return std::unique_ptr<Win32UiaTree>(new Win32UiaTree(std::move(session)));
}

Win32UiaTree::Win32UiaTree(std::shared_ptr<Session> session) : session_(std::move(session)) {}
Win32UiaTree::~Win32UiaTree() = default;

std::unique_ptr<IUiaElement> Win32UiaTree::FromWindow(WindowRef window) {
    ComPtr<IUIAutomationElement> element;
    session_->Check(session_->automation->ElementFromHandle(reinterpret_cast<void*>(window), element.GetAddressOf()));
    if (!element) return nullptr;
    return std::make_unique<Win32UiaElement>(session_, std::move(element));
}

unsigned long Win32UiaTree::Calls() const { return session_->calls; }
