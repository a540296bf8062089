#pragma once

class QWebEngineProfile;

// The one profile every window's pages share. It is kept on disk, so a user
// who signed in to a site is still signed in on the next start: cookies and
// site data under the user's data folder, the HTTP cache under the user's
// cache folder, both in a "Kestrel" folder of their own.
QWebEngineProfile *browserProfile();
