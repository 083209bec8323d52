// Opened from a file: the browser runs no module of the site from there,
// so this plain script (which it does run, deferred until the page is
// parsed) tells the player how to open the site instead: in the game
// page's notice, or the editor's.
(function () {
    if (location.protocol !== 'file:') return;
    var notice = document.getElementById('opened-from-file');
    var start = document.getElementById('start');
    if (notice) {
        notice.hidden = false;
        if (start) start.hidden = true;
        return;
    }
    notice = document.getElementById('notice');
    if (!notice) return;
    notice.textContent =
        'Quadrell runs from a web address, not from a file: the browser does not run its program from here. ' +
        "Run ./play.sh --web in Quadrell's folder, or serve this folder with any static web server, and open the address it gives.";
    var box = document.getElementById('notice-box') || notice;
    box.className = 'error';
    box.hidden = false;
})();
