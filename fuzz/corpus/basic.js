news = new Tickora();
news.name = 'news';
news.type = 2.5;
news.width = 200;
news.add('It\'s <b>new</b>', '150', 'Item 2');

/* -- Replicate Items -- */
news.display();
