// The UI Automation client interfaces Sonvira calls, declared from Microsoft's documentation
// of UIAutomationClient.h: the MinGW-w64 headers of Debian 12 carry only the provider side.
//
// A COM interface is its vtable, so each interface lists its methods in the documented order
// up to the last one Sonvira calls; what follows that one is left out, and a call to a left-out
// method cannot compile. Methods never called keep loose parameter types (void*) where the
// exact type would only pull in more declarations.
//
// MinGW's uiautomationcore.h is not needed here, and its API header does not compile as C++
// (a parameter named "new").
#pragma once

#include <objbase.h>
#include <oleauto.h>

// The documented property and control type ids this program asks for.
constexpr int kUiaRuntimeIdPropertyId = 30000;
constexpr int kUiaBoundingRectanglePropertyId = 30001;
constexpr int kUiaClassNamePropertyId = 30012;

enum UiaTreeScope : int {
    kUiaTreeScopeElement = 0x1,
    kUiaTreeScopeChildren = 0x2,
    kUiaTreeScopeDescendants = 0x4,
    kUiaTreeScopeSubtree = 0x7,
};

// The GUIDs are ours, under names of our own: a second definition of a name that an import
// library also defines makes the linker pick either (the IID_IAccessible trouble).
inline constexpr CLSID kClsidCUIAutomation = {0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
inline constexpr IID kIidIUIAutomation = {0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};
inline constexpr IID kIidIUIAutomationElement = {0xd22108aa, 0x8ac5, 0x49a5, {0x83, 0x7b, 0x37, 0xbb, 0xb3, 0xd7, 0x59, 0x1e}};
inline constexpr IID kIidIUIAutomationTreeWalker = {0x4042c624, 0x389c, 0x4afc, {0xa6, 0x30, 0x9d, 0xf8, 0x54, 0xa5, 0x41, 0xfc}};
inline constexpr IID kIidIUIAutomationCondition = {0x352ffba8, 0x0973, 0x437c, {0xa6, 0x1f, 0xf6, 0x4c, 0xaf, 0xd8, 0x1d, 0xf9}};

struct IUIAutomationCacheRequest;
struct IUIAutomationElementArray;

// No methods of its own: a condition is only handed back to UI Automation.
struct IUIAutomationCondition : public IUnknown {};

struct IUIAutomationElement : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** runtimeId) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirst(UiaTreeScope scope, IUIAutomationCondition* condition,
                                                IUIAutomationElement** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAll(UiaTreeScope scope, IUIAutomationCondition* condition,
                                              IUIAutomationElementArray** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache(UiaTreeScope scope, IUIAutomationCondition* condition,
                                                          IUIAutomationCacheRequest* request,
                                                          IUIAutomationElement** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache(UiaTreeScope scope, IUIAutomationCondition* condition,
                                                        IUIAutomationCacheRequest* request,
                                                        IUIAutomationElementArray** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache(IUIAutomationCacheRequest* request,
                                                        IUIAutomationElement** updated) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int propertyId, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx(int propertyId, BOOL ignoreDefaultValue,
                                                                VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int propertyId, VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValueEx(int propertyId, BOOL ignoreDefaultValue,
                                                               VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int patternId, REFIID riid, void** pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPatternAs(int patternId, REFIID riid, void** pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPattern(int patternId, IUnknown** pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedPattern(int patternId, IUnknown** pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedParent(IUIAutomationElement** parent) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCachedChildren(IUIAutomationElementArray** children) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentProcessId(int* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentControlType(int* controlType) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentLocalizedControlType(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentName(BSTR* name) = 0;
    // The remaining get_Current* and get_Cached* properties are not called.
};

struct IUIAutomationTreeWalker : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetParentElement(IUIAutomationElement* element, IUIAutomationElement** parent) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFirstChildElement(IUIAutomationElement* element,
                                                           IUIAutomationElement** first) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLastChildElement(IUIAutomationElement* element,
                                                          IUIAutomationElement** last) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNextSiblingElement(IUIAutomationElement* element,
                                                            IUIAutomationElement** next) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPreviousSiblingElement(IUIAutomationElement* element,
                                                                IUIAutomationElement** previous) = 0;
    // NormalizeElement, the *BuildCache forms and get_Condition are not called.
};

struct IUIAutomation : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CompareElements(IUIAutomationElement* a, IUIAutomationElement* b, BOOL* same) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds(SAFEARRAY* a, SAFEARRAY* b, BOOL* same) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElement(IUIAutomationElement** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(void* hwnd, IUIAutomationElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPoint(POINT point, IUIAutomationElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(IUIAutomationElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElementBuildCache(IUIAutomationCacheRequest* request,
                                                               IUIAutomationElement** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandleBuildCache(void* hwnd, IUIAutomationCacheRequest* request,
                                                                  IUIAutomationElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPointBuildCache(POINT point, IUIAutomationCacheRequest* request,
                                                                 IUIAutomationElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(IUIAutomationCacheRequest* request,
                                                                  IUIAutomationElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker(IUIAutomationCondition* condition,
                                                       IUIAutomationTreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewWalker(IUIAutomationTreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewWalker(IUIAutomationTreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RawViewWalker(IUIAutomationTreeWalker** walker) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RawViewCondition(IUIAutomationCondition** condition) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ControlViewCondition(IUIAutomationCondition** condition) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ContentViewCondition(IUIAutomationCondition** condition) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateCacheRequest(IUIAutomationCacheRequest** request) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTrueCondition(IUIAutomationCondition** condition) = 0;
    // CreateFalseCondition, CreatePropertyCondition and everything after are not called.
};
