#pragma once

class QMenu;
class WebEngineBrowserView;

// The page's menu for a browser of windows: the engine's own items for what
// was clicked, with a link's items in Kestrel's words (a new window, not a
// tab; Add Link to Favorites), and Inspect at the end. Made for the place
// the engine last reported a click; the caller shows it.
QMenu *makePageContextMenu(WebEngineBrowserView *view);
