news = new Tickora();
news.name = 'news';
news.type = 0;
news.width = 240;
news.height = 120;
news.spacing = 12;
news.itemwidth = 200;
news.scrollspeed = 40;
news.pausedelay = 2500;
news.pausemouseover = true;
news.add('<b>Welcome!</b><br>This scroller shows news, offers or tips on your page.', '', 'Welcome');
news.add('<b>Make it yours</b><br>Change the items, the direction and the speed, and watch the preview.', '', 'Edit');
news.add('<b>Links work too</b><br>Items are HTML: <a href="#">add a link</a> or a picture.', '', 'Links');

/* -- Replicate Items -- */
news.add('<b>Welcome!</b><br>This scroller shows news, offers or tips on your page.', '', 'Welcome');
news.add('<b>Make it yours</b><br>Change the items, the direction and the speed, and watch the preview.', '', 'Edit');
news.add('<b>Links work too</b><br>Items are HTML: <a href="#">add a link</a> or a picture.', '', 'Links');

/* -- Replicate Items -- */
news.add('<b>Welcome!</b><br>This scroller shows news, offers or tips on your page.', '', 'Welcome');
news.add('<b>Make it yours</b><br>Change the items, the direction and the speed, and watch the preview.', '', 'Edit');
news.add('<b>Links work too</b><br>Items are HTML: <a href="#">add a link</a> or a picture.', '', 'Links');

/* -- Replicate Items -- */
news.display();
window.addEventListener('load', function(){news.load();news.start();});
window.addEventListener('resize', function(){news.load();});
