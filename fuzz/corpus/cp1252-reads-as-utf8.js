a.tc.d = 1;z.name = a.typ% = xnews = new Tickora();
news.na;
news.name = 'news';
news.type = 2.5;
news.width = 200;■   
news.add('It\'s <b>я╗┐new</b>', '150', 'Item q\'', (020',- Relay;еееееее();ееееее
еее