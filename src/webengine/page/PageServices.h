#pragma once

class WebEngineBrowserView;

// Answers what a page asks of the user beyond its own dialogs: sign-in,
// permissions, full screen, untrusted certificates.
void attachPageServices(WebEngineBrowserView *view);
