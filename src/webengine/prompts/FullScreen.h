#pragma once

class QWebEngineFullScreenRequest;
class QWebEngineView;

// Lets a page fill the screen when it asks on a user's action (a video's
// full-screen button) and gives the window back when it leaves full screen;
// Escape leaves it. The view moves to a screen-filling window of its own and
// back, so the browser window's layout is left as it was. For a few seconds
// the screen names the site that took it and says how to leave.
void handleFullScreenRequest(QWebEngineView *view, QWebEngineFullScreenRequest &request);
